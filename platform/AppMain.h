// The framework's start-up, called by the program's main.
#pragma once

#include "platform/Resources.h"

namespace platform {

// Makes the Qt application, installs the program's resources, names the
// application from the program file and calls its InitInstance. Returns the
// process exit status: 0 when InitInstance returns FALSE (the program ends
// without a message loop), otherwise that of the message loop.
int AfxWinMain(int argc, char** argv, const ResourceSet& resources);

}  // namespace platform
