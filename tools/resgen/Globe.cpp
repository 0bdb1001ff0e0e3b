#include "tools/resgen/Globe.h"

#include <algorithm>
#include <cmath>

namespace resgen {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;
constexpr double kCentreLongitude = -35.0;  // mid-Atlantic
constexpr double kCentreLatitude = 15.0;
constexpr double kRadiusOfSide = 0.40;  // globe radius as a share of the square's side
constexpr double kBarHalfWidthOfSide = 0.10;
constexpr int kSamples = 4;  // per pixel and axis: land where most samples are land

}  // namespace

bool Globe::LandAt(double dx, double dy) const {
    // Inverse orthographic projection about the centre point.
    const double x = dx, y = -dy;
    const double rho = std::hypot(x, y);
    if (rho == 0.0) return land_.IsLandNear(kCentreLatitude, kCentreLongitude);
    const double c = std::asin(std::min(rho, 1.0));
    const double phi0 = kCentreLatitude * kDegree;
    const double lat = std::asin(std::cos(c) * std::sin(phi0) + y * std::sin(c) * std::cos(phi0) / rho);
    const double lon = kCentreLongitude * kDegree + std::atan2(x * std::sin(c), rho * std::cos(c) * std::cos(phi0) -
                                                                                    y * std::sin(c) * std::sin(phi0));
    return land_.IsLandNear(lat / kDegree, lon / kDegree);
}

void Globe::Draw(IndexedPicture& picture, int left, int top, int size) const {
    const double centre = size / 2.0;
    const double radius = size * kRadiusOfSide;
    const int barHeight = std::max(1, size / 16);
    const int globeTop = static_cast<int>(std::lround(centre - radius));
    const int globeBottom = static_cast<int>(std::lround(centre + radius));  // first row below
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            const double px = i + 0.5, py = j + 0.5;
            Colour colour = kBlack;
            const bool inBarColumns = std::fabs(px - centre) <= size * kBarHalfWidthOfSide;
            const bool inBarRows =
                (j >= globeTop - barHeight && j < globeTop) || (j >= globeBottom && j < globeBottom + barHeight);
            if (std::hypot(px - centre, py - centre) <= radius) {
                int landSamples = 0, discSamples = 0;
                for (int sy = 0; sy < kSamples; ++sy) {
                    for (int sx = 0; sx < kSamples; ++sx) {
                        const double dx = (i + (sx + 0.5) / kSamples - centre) / radius;
                        const double dy = (j + (sy + 0.5) / kSamples - centre) / radius;
                        if (dx * dx + dy * dy > 1.0) continue;
                        ++discSamples;
                        landSamples += LandAt(dx, dy) ? 1 : 0;
                    }
                }
                colour = 2 * landSamples > discSamples ? kLime : kBlue;
            } else if (inBarColumns && inBarRows) {
                colour = kWhite;
            }
            picture.Set(left + i, top + j, colour);
        }
    }
}

}  // namespace resgen
