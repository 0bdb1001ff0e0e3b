// The framework's start-up, called by the program's main.
#pragma once

#include "platform/Resources.h"

namespace platform {

// Makes the Qt application, installs the program's resources, names the
// application from the program file and calls its InitInstance. Returns the
// process exit status: 0 when InitInstance returns FALSE (the program ends
// without a message loop), otherwise that of the message loop. When no
// display can be opened it prints one line naming the program on stderr and
// ends the process with kExitNoDisplayStatus.
inline constexpr int kExitNoDisplayStatus = 1;
int RunApplication(int argc, char** argv, const ResourceSet& resources);

}  // namespace platform
