#include "tools/resgen/MapPicture.h"

#include <cmath>
#include <cstdlib>

#include "tools/resgen/MapScale.h"
#include "tools/resgen/TextStamp.h"

namespace resgen {

namespace {

// A readout box, edges inclusive; its label ends kLabelGap pixels left of it.
struct Box {
    int left, top, right, bottom;
};

constexpr Box kCursorBox{131, 384, 236, 404};
constexpr Box kStartBox{131, 407, 236, 427};
constexpr Box kDestinationBox{131, 430, 236, 450};
constexpr Box kVariationBox{347, 384, 452, 404};
constexpr Box kCourseBox{347, 407, 397, 427};
constexpr Box kDistanceBox{347, 430, 397, 450};

constexpr int kLabelGap = 8;  // blank columns between a label's ink and its box
constexpr int kLabelCapHeight = 10;
constexpr int kBaselineBelowBoxTop = 15;  // capitals centred on the box's height

// The two-line course label: its rows, and the blank columns before its colon.
constexpr int kCourseLabelTop = 406;
constexpr int kCourseLabelBottom = 431;
constexpr int kCourseColonGap = 1;

constexpr int kGraticuleLatitudes[] = {60, 40, 20, 0, -20, -40};
constexpr int kGraticuleLongitudes[] = {-135, -90, -45, 0, 45, 90, 135};

// Nearest pixel, halves away from zero.
int Nearest(double v) { return static_cast<int>(std::lround(v)); }

// Plots a map pixel's worth (scale x scale picture pixels) with its top-left
// at picture pixel (x, y), within the map's rows.
void PlotMap(IndexedPicture& picture, int scale, int x, int y, Colour c) {
    for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < scale; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px >= 0 && px < MapPicture::kWidth * scale && py >= 0 && py < (MapPicture::kLastMapRow + 1) * scale)
                picture.Set(px, py, c);
        }
}

// Aliased line of one map pixel's width between two picture pixels.
void Line(IndexedPicture& picture, int scale, int x0, int y0, int x1, int y1, Colour c) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        PlotMap(picture, scale, x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// Edges the data adds where it cuts rings at the 180th meridian or closes
// them along the south pole: not coasts, so not drawn.
bool IsCutEdge(const GeoPoint& a, const GeoPoint& b) {
    constexpr double kEdge = 179.9999;
    constexpr double kPole = -89.99;
    return (std::fabs(a.lon) >= kEdge && std::fabs(b.lon) >= kEdge && a.lon * b.lon > 0) ||
           (a.lat <= kPole && b.lat <= kPole);
}

// Fills map pixels l..r x t..b (inclusive) at the picture's scale.
void Fill(IndexedPicture& picture, int scale, int l, int t, int r, int b, Colour c) {
    for (int y = t * scale; y < (b + 1) * scale; ++y)
        for (int x = l * scale; x < (r + 1) * scale; ++x) picture.Set(x, y, c);
}

void DrawRing(IndexedPicture& picture, int scale, int left, int top, int right, int bottom, Colour light, Colour dark) {
    Fill(picture, scale, left, top, right, top, light);
    Fill(picture, scale, left, top, left, bottom, light);
    // The dark sides are drawn last and take the corners they share.
    Fill(picture, scale, left, bottom, right, bottom, dark);
    Fill(picture, scale, right, top, right, bottom, dark);
}

// A sunken box: outer ring grey over black, inner ring silver over grey, white
// inside; each ring one map pixel (scale picture pixels) wide.
void DrawBox(IndexedPicture& picture, int scale, const Box& b) {
    DrawRing(picture, scale, b.left, b.top, b.right, b.bottom, kGrey, kBlack);
    DrawRing(picture, scale, b.left + 1, b.top + 1, b.right - 1, b.bottom - 1, kSilver, kGrey);
    Fill(picture, scale, b.left + 2, b.top + 2, b.right - 2, b.bottom - 2, kWhite);
}

}  // namespace

IndexedPicture MapPicture::Draw() const {
    IndexedPicture picture(kWidth * scale_, kHeight * scale_, kYellow);
    DrawLandAndSea(picture);
    DrawCoastsAndBorders(picture);
    DrawGraticule(picture);
    DrawPanel(picture);
    return picture;
}

void MapPicture::DrawLandAndSea(IndexedPicture& picture) const {
    // Each pixel shows the place the readout names for it; at a larger scale
    // the first picture pixel of each map pixel does, the others show the
    // readout's curve between map pixels.
    const double s = scale_;
    for (int y = 0; y < (kLastMapRow + 1) * scale_; ++y) {
        const auto position = [&](int x, double& latitude, double& lon) {
            if (x % scale_ == 0 && y % scale_ == 0)
                PixelPosition(x / scale_, y / scale_, latitude, lon);
            else
                FractionalPosition(x / s, y / s, latitude, lon);
        };
        double latitude = 0.0, lon = 0.0;
        position(0, latitude, lon);
        const std::vector<double> crossings = land_.Crossings(latitude);
        for (int x = 0; x < kWidth * scale_; ++x) {
            position(x, latitude, lon);
            if (lon > 180.0) lon -= 360.0;  // the last columns repeat the far west
            picture.Set(x, y, LandMask::IsLand(crossings, lon) ? kOlive : kNavy);
        }
    }
}

void MapPicture::DrawCoastsAndBorders(IndexedPicture& picture) const {
    for (const Polyline& arc : world_.Arcs()) {
        for (std::size_t i = 0; i + 1 < arc.size(); ++i) {
            const GeoPoint& a = arc[i];
            GeoPoint b = arc[i + 1];
            if (IsCutEdge(a, b)) continue;
            // An edge across the 180th meridian is drawn as its short way round.
            b.lon = a.lon + std::remainder(b.lon - a.lon, 360.0);
            const double s = scale_;
            const int x0 = Nearest(LongitudeColumn(a.lon) * s), y0 = Nearest(LatitudeRow(a.lat) * s);
            const int x1 = Nearest(LongitudeColumn(b.lon) * s), y1 = Nearest(LatitudeRow(b.lat) * s);
            // One turn east or west shows the same coast again: across the
            // meridian, and in the columns past 180 E that repeat the far west.
            for (int shift : {-kMapColumns360 * scale_, 0, kMapColumns360 * scale_})
                Line(picture, scale_, x0 + shift, y0, x1 + shift, y1, kLime);
        }
    }
}

void MapPicture::DrawGraticule(IndexedPicture& picture) const {
    for (int lat : kGraticuleLatitudes)
        for (int lon : kGraticuleLongitudes)
            PlotMap(picture, scale_, Nearest(LongitudeColumn(lon)) * scale_, Nearest(LatitudeRow(lat)) * scale_,
                    kBlack);
}

void MapPicture::DrawPanel(IndexedPicture& picture) const {
    const int s = scale_;
    for (const Box& b : {kCursorBox, kStartBox, kDestinationBox, kVariationBox, kCourseBox, kDistanceBox})
        DrawBox(picture, s, b);

    // Positions in picture pixels: a map column c starts at picture column c * s.
    // At a larger scale the labels keep their 1x room: the font whose capitals
    // are s times as high, made smaller while the widest label would take more
    // than s times its 1x width (hinting makes small sizes relatively narrow),
    // so that no label comes nearer a box than at 1x.
    const QFont base = TextStamp::FontWithCapHeight(labelFamily_, true, kLabelCapHeight);
    QFont font = TextStamp::FontWithCapHeight(labelFamily_, true, kLabelCapHeight * s);
    const int widest = TextStamp::InkBounds(base, "Mag. Variation:").width() * s;
    while (s > 1 && font.pixelSize() > 1 && TextStamp::InkBounds(font, "Mag. Variation:").width() > widest)
        font = TextStamp::FontOfPixelSize(labelFamily_, true, font.pixelSize() - 1);
    const auto labelLeftOf = [&](const Box& box, const QString& text) {
        TextStamp::Stamp(picture, font, text, kBlack, TextStamp::Anchor::InkRight, (box.left - kLabelGap) * s - 1,
                         (box.top + kBaselineBelowBoxTop) * s);
    };
    labelLeftOf(kCursorBox, "Cursor position:");
    labelLeftOf(kStartBox, "Start position:");
    labelLeftOf(kDestinationBox, "Destination:");
    labelLeftOf(kVariationBox, "Mag. Variation:");
    labelLeftOf(kDistanceBox, "Distance:");

    // "Great circle" over "bearing", one colon between them at the right end:
    // the first line's capitals start on the top row, the second's descenders
    // end on the bottom row.
    const int top = kCourseLabelTop * s;
    const int bottom = (kCourseLabelBottom + 1) * s - 1;
    const int colonRight = (kCourseBox.left - kLabelGap) * s - 1;
    const QRect colon = TextStamp::InkBounds(font, ":");
    const QRect upper = TextStamp::InkBounds(font, "Great circle");
    const QRect lower = TextStamp::InkBounds(font, "bearing");
    const int upperBaseline = top - upper.top();
    const int lowerBaseline = bottom - lower.bottom();
    const int colonBaseline = (top + bottom + 1) / 2 - (colon.top() + colon.bottom() + 1) / 2;
    const QRect colonInk =
        TextStamp::Stamp(picture, font, ":", kBlack, TextStamp::Anchor::InkRight, colonRight, colonBaseline);
    const int linesRight = colonInk.left() - kCourseColonGap * s - 1;
    TextStamp::Stamp(picture, font, "Great circle", kBlack, TextStamp::Anchor::InkRight, linesRight, upperBaseline);
    TextStamp::Stamp(picture, font, "bearing", kBlack, TextStamp::Anchor::InkRight, linesRight, lowerBaseline);

    // The distance's unit, right of its box.
    TextStamp::Stamp(picture, font, "(miles)", kBlack, TextStamp::Anchor::InkLeft, (kDistanceBox.right + kLabelGap) * s,
                     (kDistanceBox.top + kBaselineBelowBoxTop) * s);
}

}  // namespace resgen
