// Where the map lies in the client area, the hit test, and the conversion
// from a map pixel to a position and its display text.
#pragma once

#include <string>

namespace geometry {

// The map rectangle in client pixels, all edges inclusive. The map's pixel
// (0, 0) lies at client point (offset, offset).
struct MapRect {
    int left;
    int top;
    int right;  // also the number of columns that span 360 degrees of longitude
    int bottom;
    int offset;
};

// The map as the main dialog lays it out: columns 0..634, rows 0..378, no offset.
inline constexpr MapRect kWorldMap{0, 0, 634, 378, 0};

// 1 when (x, y) lies on the map, 0 otherwise.
int IsInsideMap(const MapRect& map, int x, int y);

// Latitude and longitude (degrees, north and east positive) under client point
// (x, y), and the position text "%2.0f\xB0 %c   %03.0f\xB0 %c" whose degree sign
// is the single byte 0xB0. Callers test the point with IsInsideMap first.
void PixelToGeographic(const MapRect& map, int x, int y, double& latitude, double& longitude, std::string& text);

}  // namespace geometry
