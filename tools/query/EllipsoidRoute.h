// Routes on the WGS 84 ellipsoid: the geodesic and the rhumb line between two
// positions, from GeographicLib (exact to round-off, nearly antipodal and
// coincident points included).
#pragma once

namespace query {

struct EllipsoidRoute {
    double geodesicCourse;    // initial azimuth of the geodesic, degrees true, [0, 360)
    double geodesicDistance;  // nautical miles of 1852 m
    double rhumbCourse;       // constant azimuth of the rhumb line, degrees true, [0, 360)
    double rhumbDistance;     // nautical miles of 1852 m
};

// Positions in degrees, north and east positive; latitudes within -90..90.
EllipsoidRoute RouteOnEllipsoid(double lat1, double lon1, double lat2, double lon2);

// An azimuth in degrees as a course in [0, 360): -0 and a hair below 0 read 0.
double CourseDegrees(double azimuth);

}  // namespace query
