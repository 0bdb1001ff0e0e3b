// Everything the program carries besides its code: dialog layouts, strings,
// pictures, the icon and the version record.
#pragma once

#include "platform/Resources.h"
#include "resources/VersionRecord.h"

// The set the window layer looks every resource id up in.
const platform::ResourceSet& DexlinResources();

// The version record; the program itself never reads it.
const resources::VersionRecord& DexlinVersion();
