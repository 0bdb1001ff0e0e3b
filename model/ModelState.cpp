#include "ModelState.h"

namespace model {

ModelState modelState{};

}  // namespace model
