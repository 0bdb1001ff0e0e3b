// Aliased text stamped into a picture, placed by its ink: the rightmost or
// leftmost inked column lands on a given column, the baseline on a given row.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include "tools/resgen/IndexedPicture.h"

namespace resgen {

class TextStamp {
public:
    enum class Anchor { InkLeft, InkRight, InkCentre };

    // A font of the family at the smallest pixel size whose capitals are
    // capHeight pixels high; never antialiased.
    static QFont FontWithCapHeight(const QString& family, bool bold, int capHeight);
    static QFont FontOfPixelSize(const QString& family, bool bold, int pixelSize);

    // Stamps text in colour; returns the inked rectangle in picture pixels.
    static QRect Stamp(IndexedPicture& picture, const QFont& font, const QString& text, Colour colour, Anchor anchor,
                       int column, int baseline);

    // The inked rectangle relative to the pen position on the baseline.
    static QRect InkBounds(const QFont& font, const QString& text);
};

}  // namespace resgen
