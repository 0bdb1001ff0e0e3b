#include "EllipsoidRoute.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Rhumb.hpp>

#include <cmath>

namespace query {

namespace {
constexpr double kMetresPerNauticalMile = 1852.0;
constexpr double kFullCircle = 360.0;
}  // namespace

double CourseDegrees(double azimuth) {
    double course = std::remainder(azimuth, kFullCircle);  // [-180, 180], exact
    if (course < 0.0) course += kFullCircle;               // may round up to 360 itself
    return course >= kFullCircle ? 0.0 : course + 0.0;     // + 0.0: -0 reads 0
}

EllipsoidRoute RouteOnEllipsoid(double lat1, double lon1, double lat2, double lon2) {
    double geodesicMetres = 0.0;
    double azimuth1 = 0.0;
    double azimuth2 = 0.0;
    GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, geodesicMetres, azimuth1, azimuth2);
    double rhumbMetres = 0.0;
    double rhumbAzimuth = 0.0;
    GeographicLib::Rhumb::WGS84().Inverse(lat1, lon1, lat2, lon2, rhumbMetres, rhumbAzimuth);
    return {CourseDegrees(azimuth1), geodesicMetres / kMetresPerNauticalMile, CourseDegrees(rhumbAzimuth),
            rhumbMetres / kMetresPerNauticalMile};
}

}  // namespace query
