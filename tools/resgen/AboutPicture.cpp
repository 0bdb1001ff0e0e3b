#include "tools/resgen/AboutPicture.h"

#include <QStringList>

#include "tools/resgen/TextStamp.h"

namespace resgen {

namespace {

constexpr int kMargin = 24;
constexpr int kGlobeSize = 176;
constexpr int kColumn = kMargin + kGlobeSize + 28;  // text beside the globe
constexpr int kLineStep = 17;

}  // namespace

bool AboutPicture::Draw(IndexedPicture& picture) const {
    picture = IndexedPicture(kWidth, kHeight, kWhite);
    globe_.Draw(picture, kMargin, kMargin, kGlobeSize);

    const QFont title = TextStamp::FontWithCapHeight(fonts_.serif, true, 44);
    const QFont heading = TextStamp::FontWithCapHeight(fonts_.sans, true, 11);
    const QFont body = TextStamp::FontWithCapHeight(fonts_.sans, false, 9);
    const QRect inside(kMargin, kMargin, kWidth - 2 * kMargin, kHeight - 2 * kMargin);
    bool fits = true;
    const auto put = [&](const QFont& font, const QString& text, Colour colour, int left, int baseline) {
        const QRect ink = TextStamp::Stamp(picture, font, text, colour, TextStamp::Anchor::InkLeft, left, baseline);
        fits = fits && inside.contains(ink);
    };
    const auto paragraph = [&](const QStringList& lines, int left, int baseline) {
        for (const QString& line : lines) {
            put(body, line, kBlack, left, baseline);
            baseline += kLineStep;
        }
        return baseline;
    };

    put(title, "Dexlin", kNavy, kColumn, 76);
    put(heading, QStringLiteral("Version " DEXLIN_VERSION), kGrey, kColumn + 2, 102);  // as --version says it
    paragraph({"A navigation aid for the desktop. Move the pointer over",
               "the world map to read the latitude and longitude under it",
               "and the magnetic variation there. Click the left button on",
               "a start point and the right button on a destination to read",
               "the great-circle course (degrees true) and the distance", "(nautical miles) between them."},
              kColumn, 130);

    // A silver rule under the globe, then the model and the map's source.
    for (int x = kMargin; x < kWidth - kMargin; ++x) picture.Set(x, 222, kSilver);
    put(heading, "Magnetic model", kNavy, kMargin, 252);
    paragraph({"The 1995.0 international reference field: main field to degree and order 10, secular",
               "variation to degree 8. It is valid from 1995.0 to 2000.0; outside those years the",
               "variation is not shown."},
              kMargin, 272);
    put(heading, "Map", kNavy, kMargin, 336);
    paragraph({"Coastlines and borders from Natural Earth (public domain), 1:50m, through the",
               "world-atlas 2.0.2 package. The map is drawn in the scale the position readout uses."},
              kMargin, 356);
    return fits;
}

}  // namespace resgen
