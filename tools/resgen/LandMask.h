// Land or sea at a position, from the closed land rings: even-odd rule in the
// longitude/latitude plane, with rings that cross the 180th meridian unwrapped.
#pragma once

#include <vector>

#include "tools/resgen/Topology.h"

namespace resgen {

class LandMask {
public:
    explicit LandMask(const std::vector<Polyline>& rings);

    // Unwrapped longitudes where the rings' edges cross the parallel, sorted.
    std::vector<double> Crossings(double latitude) const;

    // Land at longitude lon on the parallel whose crossings are given.
    static bool IsLand(const std::vector<double>& crossings, double lon);

    // Land at any position, from a grid of 0.1 degree cells (for the globe).
    bool IsLandNear(double latitude, double lon) const;

private:
    struct Edge {
        GeoPoint a, b;
    };
    static constexpr int kGridPerDegree = 10;
    std::vector<Edge> edges_;
    std::vector<std::vector<bool>> grid_;  // rows from 90 S, columns from 180 W
};

}  // namespace resgen
