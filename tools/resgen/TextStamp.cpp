#include "tools/resgen/TextStamp.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace resgen {

namespace {

// The text drawn black on white, with the pen at (margin, margin + ascent).
struct Rendering {
    QImage image;
    QPoint pen;
};

Rendering Render(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    const int margin = metrics.height();
    Rendering r;
    r.image = QImage(metrics.horizontalAdvance(text) + 2 * margin, 3 * margin, QImage::Format_RGB32);
    r.image.fill(Qt::white);
    r.pen = QPoint(margin, margin + metrics.ascent());
    QPainter painter(&r.image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(r.pen, text);
    return r;
}

QRect Ink(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) ink |= QRect(x, y, 1, 1);
    return ink;
}

}  // namespace

QFont TextStamp::FontOfPixelSize(const QString& family, bool bold, int pixelSize) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}

QFont TextStamp::FontWithCapHeight(const QString& family, bool bold, int capHeight) {
    for (int size = capHeight; size < 3 * capHeight; ++size) {
        const QFont font = FontOfPixelSize(family, bold, size);
        if (InkBounds(font, "H").height() >= capHeight) return font;
    }
    return FontOfPixelSize(family, bold, 3 * capHeight);
}

QRect TextStamp::InkBounds(const QFont& font, const QString& text) {
    const Rendering r = Render(font, text);
    return Ink(r.image).translated(-r.pen);
}

QRect TextStamp::Stamp(IndexedPicture& picture, const QFont& font, const QString& text, Colour colour, Anchor anchor,
                       int column, int baseline) {
    const Rendering r = Render(font, text);
    const QRect ink = Ink(r.image);
    int dx = 0;
    switch (anchor) {
    case Anchor::InkLeft: dx = column - ink.left(); break;
    case Anchor::InkRight: dx = column - ink.right(); break;
    case Anchor::InkCentre: dx = column - (ink.left() + ink.right()) / 2; break;
    }
    const int dy = baseline - r.pen.y();
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            if (r.image.pixel(x, y) != qRgb(255, 255, 255)) picture.Set(x + dx, y + dy, colour);
    return ink.translated(dx, dy);
}

}  // namespace resgen
