// The hit test and the pixel-to-position conversion with any ints. On the
// dialog's map: the hit test admits exactly columns 0..634 and rows 0..378, and
// every admitted point has a finite position on the map and a text of at most
// 14 bytes. On any map rectangle (INT_MIN and INT_MAX edges included): the hit
// test agrees with exact arithmetic and never overflows, and the conversion of
// any point stays within its buffer.
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "geometry/MapProjection.h"

namespace {

constexpr std::size_t kMaxTextBytes = 14;

void DialogMap(int x, int y) {
    const geometry::MapRect& map = geometry::kWorldMap;
    const bool inside = geometry::IsInsideMap(map, x, y) == 1;
    FUZZ_CHECK(inside == (x >= 0 && x <= 634 && y >= 0 && y <= 378));
    if (!inside) return;
    double latitude = 0.0;
    double longitude = 0.0;
    std::string text = "left over";
    geometry::PixelToGeographic(map, x, y, latitude, longitude, text);
    FUZZ_CHECK(std::isfinite(latitude) && std::isfinite(longitude));
    FUZZ_CHECK(latitude >= -59.025 && latitude <= 80.0);
    FUZZ_CHECK(longitude >= -180.0 && longitude <= 180.0);
    FUZZ_CHECK(!text.empty() && text.size() <= kMaxTextBytes);
}

void AnyMap(fuzz::FuzzInput& input, int x, int y) {
    geometry::MapRect map{};
    map.left = input.Take<int>();
    map.top = input.Take<int>();
    map.right = input.Take<int>();
    map.bottom = input.Take<int>();
    map.offset = input.Take<int>();
    const std::int64_t o = map.offset;
    const bool exact = x >= map.left + o && x <= map.right + o && y >= map.top + o && y <= map.bottom + o;
    FUZZ_CHECK((geometry::IsInsideMap(map, x, y) == 1) == exact);
    double latitude = 0.0;
    double longitude = 0.0;
    std::string text;
    geometry::PixelToGeographic(map, x, y, latitude, longitude, text);
    FUZZ_CHECK(!text.empty() && text.size() < 64);
    FUZZ_CHECK(std::isfinite(latitude));  // from the row alone: always a latitude
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const auto x = input.Take<int>();
    const auto y = input.Take<int>();
    DialogMap(x, y);
    // Small values land on the map far more often than random ones.
    DialogMap(x % 700, y % 400);
    AnyMap(input, x, y);
    return 0;
}
