// Icons from the resources' icon groups, shared for the life of the program.
#pragma once

#include "platform/Types.h"

namespace platform {

// The icon group's handle; nullptr when the group does not exist. Every call
// for one id gives the same handle; it is never destroyed by its users.
HICON LoadIconResource(UINT nIDResource);

}  // namespace platform
