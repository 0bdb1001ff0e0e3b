// The great-circle routine with any four doubles: both outputs always written;
// for finite positions a course within 0..360 and a distance within 0..10800
// nautical miles, symmetric between the two ends.
#include <cmath>
#include <limits>

#include "FuzzInput.h"
#include "geometry/GreatCircle.h"

namespace {

// The half circle comes out 180.0000000051 degrees with pi cut at
// 3.1415926535, a few millionths of a mile beyond 10800.
constexpr double kLongestDistance = 10800.0 * (1.0 + 1e-9);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const auto [lat1, lon1, lat2, lon2] = input.TakeMany<double, 4>();

    const double unset = std::numeric_limits<double>::quiet_NaN();
    double course = unset;
    double distance = unset;
    geometry::GreatCircleCourseDistance(lat1, lon1, lat2, lon2, course, distance);
    const std::string courseText = geometry::FormatCourse(course);
    const std::string distanceText = geometry::FormatDistance(distance);
    FUZZ_CHECK(!courseText.empty() && !distanceText.empty());
    if (!std::isfinite(lat1) || !std::isfinite(lon1) || !std::isfinite(lat2) || !std::isfinite(lon2)) return 0;

    FUZZ_CHECK(std::isfinite(course) && course >= 0.0 && course <= 360.0);
    FUZZ_CHECK(std::isfinite(distance) && distance >= 0.0 && distance <= kLongestDistance);
    double backCourse = unset;
    double backDistance = unset;
    geometry::GreatCircleCourseDistance(lat2, lon2, lat1, lon1, backCourse, backDistance);
    FUZZ_CHECK(std::isfinite(backCourse) && backCourse >= 0.0 && backCourse <= 360.0);
    FUZZ_CHECK(std::fabs(backDistance - distance) <= 1e-6 * kLongestDistance);
    return 0;
}
