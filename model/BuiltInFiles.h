// The built-in models' data files (model/data), embedded by the build: each
// file becomes a string in a generated source (model/CMakeLists.txt), read by
// the same readers a user's file goes through.
#pragma once

#include <string_view>

namespace model {

// The text of the data file of that name ("WMM2025.COF"); empty for any other.
std::string_view BuiltInFileText(std::string_view name);

}  // namespace model
