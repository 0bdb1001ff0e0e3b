// Finding one resource by id (or name) in the installed resource set.
#pragma once

#include <string>

#include "platform/Resources.h"
#include "platform/Types.h"

namespace platform {

const DialogTemplate* FindDialogTemplate(UINT id);
const BitmapResource* FindBitmap(UINT id);
const BitmapResource* FindBitmap(const char* name);
const IconResource* FindIconGroup(UINT id);

// The string's Latin-1 text, empty when there is none with that id.
std::string LoadString(UINT id);

}  // namespace platform
