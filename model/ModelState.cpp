#include "ModelState.h"

namespace model {

thread_local ModelState modelState{};

}  // namespace model
