#include "tools/resgen/LandMask.h"

#include <algorithm>
#include <cmath>

namespace resgen {

LandMask::LandMask(const std::vector<Polyline>& rings) {
    for (const Polyline& ring : rings) {
        if (ring.size() < 3) continue;
        // Unwrap the longitudes so that no edge jumps across the 180th
        // meridian; the ring then lies in one piece of the plane.
        Polyline unwrapped{ring.front()};
        for (std::size_t i = 1; i < ring.size(); ++i) {
            GeoPoint p = ring[i];
            p.lon = unwrapped.back().lon + std::remainder(p.lon - ring[i - 1].lon, 360.0);
            unwrapped.push_back(p);
        }
        // A ring that goes once round the pole closes along it.
        const double turn = unwrapped.back().lon - unwrapped.front().lon;
        if (std::fabs(turn) > 180.0) {
            const double pole = unwrapped.front().lat < 0.0 ? -90.0 : 90.0;
            unwrapped.push_back({unwrapped.back().lon, pole});
            unwrapped.push_back({unwrapped.front().lon, pole});
        }
        for (std::size_t i = 0; i + 1 < unwrapped.size(); ++i) edges_.push_back({unwrapped[i], unwrapped[i + 1]});
        edges_.push_back({unwrapped.back(), unwrapped.front()});
    }
    const int rows = 180 * kGridPerDegree, columns = 360 * kGridPerDegree;
    grid_.assign(rows, std::vector<bool>(columns, false));
    for (int r = 0; r < rows; ++r) {
        const std::vector<double> crossings = Crossings(-90.0 + (r + 0.5) / kGridPerDegree);
        for (int c = 0; c < columns; ++c) grid_[r][c] = IsLand(crossings, -180.0 + (c + 0.5) / kGridPerDegree);
    }
}

std::vector<double> LandMask::Crossings(double latitude) const {
    std::vector<double> crossings;
    for (const Edge& e : edges_) {
        // Half-open in latitude, so a vertex on the parallel counts once.
        if ((e.a.lat > latitude) == (e.b.lat > latitude)) continue;
        const double f = (latitude - e.a.lat) / (e.b.lat - e.a.lat);
        crossings.push_back(e.a.lon + f * (e.b.lon - e.a.lon));
    }
    std::sort(crossings.begin(), crossings.end());
    return crossings;
}

bool LandMask::IsLand(const std::vector<double>& crossings, double lon) {
    // Unwrapped rings may reach one turn beyond either edge of the map: the
    // point is tested in each of its three copies.
    long west = 0;
    for (double copy : {lon - 360.0, lon, lon + 360.0})
        west += std::lower_bound(crossings.begin(), crossings.end(), copy) - crossings.begin();
    return west % 2 == 1;
}

bool LandMask::IsLandNear(double latitude, double lon) const {
    lon = std::remainder(lon, 360.0);
    const int rows = static_cast<int>(grid_.size()), columns = static_cast<int>(grid_[0].size());
    const int r = std::clamp(static_cast<int>(std::floor((latitude + 90.0) * kGridPerDegree)), 0, rows - 1);
    const int c = std::clamp(static_cast<int>(std::floor((lon + 180.0) * kGridPerDegree)), 0, columns - 1);
    return grid_[r][c];
}

}  // namespace resgen
