// The built-in models' data files, embedded by the build (model/CMakeLists.txt
// copies each into a generated source) and read by the same readers a user's
// file goes through.
#pragma once

#include <string_view>

namespace model {

// model/data/WMM2025.COF: the World Magnetic Model 2025 coefficient file.
extern const std::string_view kWmm2025File;

}  // namespace model
