// Initial great-circle course and distance between two positions.
#pragma once

#include <string>

namespace geometry {

// Course in degrees true (0..360) at the start and distance in nautical miles
// (60 per degree of arc) from (lat1, lon1) to (lat2, lon2), all in degrees.
// Both outputs are always written.
void GreatCircleCourseDistance(double lat1, double lon1, double lat2, double lon2, double& course, double& distance);

// The readouts' texts: "%03.0f\xB0" (degree sign 0xB0) and "%4.0f".
std::string FormatCourse(double course);
std::string FormatDistance(double distance);

}  // namespace geometry
