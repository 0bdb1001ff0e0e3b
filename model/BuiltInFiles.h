// The built-in models' data files (model/data), embedded by the build (model/CMakeLists.txt).
#pragma once

#include <string_view>

namespace model {

// The text of the data file of that name ("WMM2025.COF"); empty for any other.
std::string_view BuiltInFileText(std::string_view name);

}  // namespace model
