// The local calendar time, from the system clock unless a test replaced it.
#pragma once

#include <ctime>
#include <functional>

namespace platform {

// tm_year is years since 1900, tm_mon 0..11, tm_mday 1..31.
std::tm GetLocalTime();

using LocalTimeSource = std::function<std::tm()>;

// Installs a replacement clock (an empty one restores the system clock);
// returns the previous one.
LocalTimeSource SetLocalTimeSource(LocalTimeSource source);

}  // namespace platform
