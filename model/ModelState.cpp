#include "ModelState.h"

namespace model {

thread_local constinit ModelState modelState{};

}  // namespace model
