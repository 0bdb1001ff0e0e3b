// A font object: created from the usual creation parameters, freed by
// DeleteObject or with its owner.
#pragma once

// A font object keeps the Qt font it stands for and a cache of text widths
// by value; CFont objects are members of the dialogs.
#include <QFont>
#include <QHash>
#include <QString>
#include <memory>

#include "platform/Types.h"

namespace platform {

class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // A positive height is the cell height (ascent plus descent) in pixels, a
    // negative one the character height, 0 a default size. Escapement and
    // orientation (text rotation), character set and precisions are not used:
    // text is always horizontal and Latin-1. Every font is drawn without
    // anti-aliasing, whatever the quality asked.
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, unsigned char bItalic,
                    unsigned char bUnderline, unsigned char cStrikeOut, unsigned char nCharSet,
                    unsigned char nOutPrecision, unsigned char nClipPrecision, unsigned char nQuality,
                    unsigned char nPitchAndFamily, const char* lpszFacename);
    BOOL DeleteObject();

    // For the device contexts: whether a font exists, the font, its cell.
    bool IsCreated() const { return m_font != nullptr; }
    const QFont& GetQFont() const { return *m_font; }
    int GetCellHeight() const { return m_nCellHeight; }
    int GetAscent() const { return m_nAscent; }
    // Advance width of a text. Dialogs draw the same blanks and texts over and
    // over, so the widths of the last texts measured are kept.
    int TextWidth(const QString& text) const;

    // The font a device context holds before any other is selected.
    static CFont* Stock();

private:
    std::unique_ptr<QFont> m_font;
    int m_nCellHeight = 0;
    int m_nAscent = 0;
    mutable QHash<QString, int> m_widths;
};

}  // namespace platform
