#include "platform/DC.h"

#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "platform/Bitmap.h"
#include "platform/Brush.h"
#include "platform/Font.h"

namespace platform {

namespace {

constexpr int kIconSize = 32;

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// A picture's area in the units drawing uses: device pixels over the device
// pixel ratio (a high-density client surface holds more pixels than its size).
QRect LogicalRect(const QImage& image) {
    const QSizeF size = image.deviceIndependentSize();
    return QRect(0, 0, qRound(size.width()), qRound(size.height()));
}

// The device pixels of a picture under a rectangle in drawing units.
QRect DeviceRect(const QImage& image, const QRect& rect) {
    const qreal d = image.devicePixelRatio();
    return QRectF(rect.x() * d, rect.y() * d, rect.width() * d, rect.height() * d).toAlignedRect();
}

}  // namespace

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXICON:
    case SM_CYICON: return kIconSize;
    default: return 0;
    }
}

CDC::CDC() : m_pFont(CFont::Stock()), m_pBrush(CBrush::Stock()) {}

CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC* /*pDC*/) {
    // Every picture of the layer has one format, so any context is compatible.
    m_bMemory = true;
    m_pBitmap = CBitmap::Stock();
    m_pTarget = &m_pBitmap->GetImage();
    m_pWindow = nullptr;
    m_bClipped = false;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    m_pTarget = nullptr;
    m_pBitmap = nullptr;
    m_bMemory = false;
    return TRUE;
}

void CDC::AttachWindow(QImage* target, QWidget* window, const QRegion& clip, bool clipped) {
    m_pTarget = target;
    m_pWindow = window;
    m_clip = clip;
    m_bClipped = clipped;
}

COLORREF CDC::SetBkColor(COLORREF crColor) { return std::exchange(m_crBk, crColor); }

CFont* CDC::SelectObject(CFont* pFont) { return std::exchange(m_pFont, pFont); }

CBrush* CDC::SelectObject(CBrush* pBrush) { return std::exchange(m_pBrush, pBrush); }

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    if (!m_bMemory || pBitmap == nullptr) return nullptr;
    m_pTarget = &pBitmap->GetImage();
    return std::exchange(m_pBitmap, pBitmap);
}

void CDC::BeginDraw(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    if (m_bClipped) painter.setClipRegion(m_clip);
}

void CDC::Drawn(const QRect& rect) const {
    if (m_pWindow != nullptr) m_pWindow->update(m_bClipped ? (m_clip & rect).boundingRect() : rect);
}

const CFont* CDC::TextFont() const { return m_pFont != nullptr && m_pFont->IsCreated() ? m_pFont : CFont::Stock(); }

CSize CDC::GetTextExtent(const char* lpszString, int nCount) const {
    if (nCount < 0) return {};
    const CFont* font = TextFont();
    return {font->TextWidth(QString::fromLatin1(lpszString, nCount)), font->GetCellHeight()};
}

CSize CDC::GetTextExtent(const std::string& str) const {
    return GetTextExtent(str.data(), static_cast<int>(str.size()));
}

BOOL CDC::TextOut(int x, int y, const char* lpszString, int nCount) {
    if (m_pTarget == nullptr || m_pTarget->isNull() || nCount < 0) return FALSE;
    const CFont* font = TextFont();
    const QString text = QString::fromLatin1(lpszString, nCount);
    const QFontMetrics fm(font->GetQFont());
    const QRect cell(x, y, font->TextWidth(text), font->GetCellHeight());

    QPainter painter(m_pTarget);
    BeginDraw(painter);
    painter.fillRect(cell, ToQColor(m_crBk));
    // Spaces leave no ink: a blank is only its cell.
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c != u' '; })) {
        painter.setFont(font->GetQFont());
        painter.setPen(Qt::black);
        painter.drawText(x, y + font->GetAscent(), text);
    }
    // Glyphs may reach past the cell by the font's largest bearings; the text
    // is shaped only once more, to draw it.
    Drawn(cell.adjusted(std::min(0, fm.minLeftBearing()), 0, -std::min(0, fm.minRightBearing()),
                        std::max(0, fm.height() - cell.height())));
    return TRUE;
}

BOOL CDC::TextOut(int x, int y, const std::string& str) {
    return TextOut(x, y, str.data(), static_cast<int>(str.size()));
}

BOOL CDC::Ellipse(int x1, int y1, int x2, int y2) {
    if (m_pTarget == nullptr || m_pTarget->isNull()) return FALSE;
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    if (r - l < 2 || b - t < 2) return TRUE;  // nothing inside the excluded right and bottom edges
    const CBrush* brush = m_pBrush != nullptr && m_pBrush->IsCreated() ? m_pBrush : CBrush::Stock();

    QPainter painter(m_pTarget);
    BeginDraw(painter);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(ToQColor(brush->GetColor()));
    // The outline stays inside l..r-1 x t..b-1 at any device pixel ratio: on a
    // dense surface a centred pen would reach a device pixel past the left
    // and top edges (at ratio 1 the clip cuts nothing).
    painter.setClipRect(QRect(l, t, r - l, b - t), Qt::IntersectClip);
    // An aliased 1-pixel outline of a w x h rectangle covers w + 1 x h + 1 pixels.
    painter.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
    Drawn(QRect(l, t, r - l, b - t));
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, std::uint32_t dwRop) {
    if (dwRop != SRCCOPY || pSrcDC == nullptr || pSrcDC->m_pTarget == nullptr || m_pTarget == nullptr ||
        m_pTarget->isNull())
        return FALSE;
    const QRect source = QRect(xSrc, ySrc, nWidth, nHeight) & LogicalRect(*pSrcDC->m_pTarget);
    if (source.isEmpty()) return TRUE;
    const QPoint to(x + source.x() - xSrc, y + source.y() - ySrc);
    // A copy within one picture reads from a snapshot of it.
    const QImage snapshot = pSrcDC->m_pTarget == m_pTarget ? m_pTarget->copy(DeviceRect(*m_pTarget, source)) : QImage();
    QPainter painter(m_pTarget);
    BeginDraw(painter);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // On a high-density target a picture with a dense version draws from
    // that, smoothly resampled where the densities differ (1.5); otherwise
    // each pixel becomes a block of device pixels.
    const QImage* dense = nullptr;
    if (m_pTarget->devicePixelRatio() > 1.0 && pSrcDC->m_pBitmap != nullptr && snapshot.isNull() &&
        !pSrcDC->m_pBitmap->GetDenseImage().isNull())
        dense = &pSrcDC->m_pBitmap->GetDenseImage();
    if (dense != nullptr) {
        const qreal d = dense->devicePixelRatio();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, m_pTarget->devicePixelRatio() != d);
        painter.drawImage(QRectF(to, source.size()), *dense,
                          QRectF(source.x() * d, source.y() * d, source.width() * d, source.height() * d));
    } else if (snapshot.isNull() && pSrcDC->m_pTarget->devicePixelRatio() == 1.0) {
        painter.drawImage(to, *pSrcDC->m_pTarget, source);
    } else if (snapshot.isNull()) {
        painter.drawImage(QRectF(to, source.size()), *pSrcDC->m_pTarget,
                          QRectF(DeviceRect(*pSrcDC->m_pTarget, source)));
    } else {
        painter.drawImage(to, snapshot);
    }
    Drawn(QRect(to, source.size()));
    return TRUE;
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    if (m_pTarget == nullptr || m_pTarget->isNull() || hIcon == nullptr) return FALSE;
    QPainter painter(m_pTarget);
    BeginDraw(painter);
    painter.drawPixmap(x, y, hIcon->pixmap(kIconSize, kIconSize));
    Drawn(QRect(x, y, kIconSize, kIconSize));
    return TRUE;
}

void CDC::FillBackground(COLORREF crColor) {
    if (m_pTarget == nullptr || m_pTarget->isNull()) return;
    QPainter painter(m_pTarget);
    BeginDraw(painter);
    painter.fillRect(LogicalRect(*m_pTarget), ToQColor(crColor));
    Drawn(LogicalRect(*m_pTarget));
}

}  // namespace platform
