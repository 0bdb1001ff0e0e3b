#include "platform/LocalTime.h"

#include <utility>

namespace platform {

namespace {
LocalTimeSource& Source() {
    static LocalTimeSource source;
    return source;
}
}  // namespace

std::tm GetLocalTime() {
    if (const LocalTimeSource& source = Source()) return source();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

LocalTimeSource SetLocalTimeSource(LocalTimeSource source) { return std::exchange(Source(), std::move(source)); }

}  // namespace platform
