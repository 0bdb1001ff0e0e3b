#include "platform/Font.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr qsizetype kKeptWidths = 64;  // texts whose widths a font keeps
constexpr int kDefaultPixelSize = 13;  // size of a font asked for with height 0
constexpr int kFamilyMask = 0xF0;      // family part of pitch-and-family
constexpr int kFamilyRoman = 0x10;
constexpr int kFamilySwiss = 0x20;
constexpr int kFamilyModern = 0x30;
constexpr int kFamilyScript = 0x40;
constexpr int kFamilyDecorative = 0x50;

QFont::StyleHint HintFor(int pitchAndFamily) {
    switch (pitchAndFamily & kFamilyMask) {
    case kFamilyRoman: return QFont::Serif;
    case kFamilySwiss: return QFont::SansSerif;
    case kFamilyModern: return QFont::TypeWriter;
    case kFamilyScript: return QFont::Cursive;
    case kFamilyDecorative: return QFont::Decorative;
    default: return QFont::AnyStyle;
    }
}

}  // namespace

CFont::CFont() = default;
CFont::~CFont() = default;

BOOL CFont::CreateFont(int nHeight, int nWidth, int /*nEscapement*/, int /*nOrientation*/, int nWeight,
                       unsigned char bItalic, unsigned char bUnderline, unsigned char cStrikeOut,
                       unsigned char /*nCharSet*/, unsigned char /*nOutPrecision*/, unsigned char /*nClipPrecision*/,
                       unsigned char /*nQuality*/, unsigned char nPitchAndFamily, const char* lpszFacename) {
    auto font = std::make_unique<QFont>(QString::fromLatin1(lpszFacename != nullptr ? lpszFacename : ""));
    font->setStyleHint(HintFor(nPitchAndFamily), QFont::NoAntialias);
    if (nWeight > 0) font->setWeight(static_cast<QFont::Weight>(std::clamp(nWeight, 1, 1000)));
    font->setItalic(bItalic != 0);
    font->setUnderline(bUnderline != 0);
    font->setStrikeOut(cStrikeOut != 0);

    if (nHeight > 0) {
        // A cell of exactly nHeight rows may not exist at any pixel size: take
        // the largest size whose ascent and descent fit in it.
        int size = nHeight;
        for (; size > 1; --size) {
            font->setPixelSize(size);
            QFontMetrics fm(*font);
            if (fm.ascent() + fm.descent() <= nHeight) break;
        }
        font->setPixelSize(size);
        m_nCellHeight = nHeight;
    } else {
        font->setPixelSize(nHeight < 0 ? -nHeight : kDefaultPixelSize);
        QFontMetrics fm(*font);
        m_nCellHeight = fm.ascent() + fm.descent();
    }
    QFontMetrics fm(*font);
    m_nAscent = fm.ascent();
    if (nWidth > 0 && fm.averageCharWidth() > 0)
        font->setStretch(static_cast<int>(std::lround(100.0 * nWidth / fm.averageCharWidth())));
    m_font = std::move(font);
    m_widths.clear();
    return TRUE;
}

int CFont::TextWidth(const QString& text) const {
    if (m_font == nullptr) return 0;
    if (const auto it = m_widths.constFind(text); it != m_widths.cend()) return *it;
    if (m_widths.size() >= kKeptWidths) m_widths.clear();
    const int width = QFontMetrics(*m_font).horizontalAdvance(text);
    m_widths.insert(text, width);
    return width;
}

BOOL CFont::DeleteObject() {
    if (m_font == nullptr) return FALSE;
    m_font.reset();
    m_widths.clear();
    return TRUE;
}

CFont* CFont::Stock() {
    static CFont* stock = [] {
        auto* f = new CFont;  // lives as long as the process, as a stock object does
        f->CreateFont(16, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0x20, "Sans Serif");
        return f;
    }();
    return stock;
}

}  // namespace platform
