// A device context: where drawing goes (a dialog's client surface or a
// memory picture) with the objects selected into it. A plain CDC made with
// CreateCompatibleDC draws into the picture selected into it.
#pragma once

// A window DC keeps its clip region by value (the paint's region, taken once).
#include <QRegion>
#include <string>

#include "platform/Types.h"

class QImage;
class QPainter;
class QWidget;

namespace platform {

class CBitmap;
class CBrush;
class CFont;

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory context whose pictures match pDC's format.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    COLORREF SetBkColor(COLORREF crColor);

    // Each returns the object of that kind selected before.
    CFont* SelectObject(CFont* pFont);
    CBrush* SelectObject(CBrush* pBrush);
    CBitmap* SelectObject(CBitmap* pBitmap);  // memory contexts only; nullptr otherwise

    // Latin-1 text, top-left of its cell at (x, y), black on an opaque cell of
    // the background colour that spans the font's cell height and the text's
    // advance width.
    BOOL TextOut(int x, int y, const char* lpszString, int nCount);
    BOOL TextOut(int x, int y, const std::string& str);
    // The cell TextOut fills for the text in the selected font: advance width
    // and cell height.
    CSize GetTextExtent(const char* lpszString, int nCount) const;
    CSize GetTextExtent(const std::string& str) const;

    // Fills l..r-1 x t..b-1 with the selected brush, outlined by a 1-pixel
    // black pen.
    BOOL Ellipse(int x1, int y1, int x2, int y2);

    // Copies the block at (xSrc, ySrc) of pSrcDC to (x, y); only SRCCOPY.
    // Parts of the block outside the source picture are not copied.
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, std::uint32_t dwRop);

    // The icon at its standard size (SM_CXICON x SM_CYICON), top-left at (x, y).
    BOOL DrawIcon(int x, int y, HICON hIcon);

    // Fills the clip area (the whole target when unclipped).
    void FillBackground(COLORREF crColor);

protected:
    // Window contexts: the target, the window shown from it (nullptr when
    // the caller presents it) and the clip (empty region with clipped false
    // for no clip).
    void AttachWindow(QImage* target, QWidget* window, const QRegion& clip, bool clipped);

private:
    const CFont* TextFont() const;  // the selected font, the stock one when none was created
    void BeginDraw(QPainter& painter) const;
    void Drawn(const QRect& rect) const;

    QImage* m_pTarget = nullptr;
    QWidget* m_pWindow = nullptr;
    QRegion m_clip;
    bool m_bClipped = false;
    bool m_bMemory = false;
    COLORREF m_crBk = RGB(255, 255, 255);
    CFont* m_pFont;
    CBrush* m_pBrush;
    CBitmap* m_pBitmap = nullptr;
};

}  // namespace platform
