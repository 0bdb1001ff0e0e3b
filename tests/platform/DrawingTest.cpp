// Device contexts: text cells, ellipses, picture copies, and the client
// surface that lasts through exposes and is repainted where invalidated.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QWidget>
#include <set>

#include "platform/Bitmap.h"
#include "platform/Brush.h"
#include "platform/ClientDC.h"
#include "platform/Font.h"
#include "tests/platform/TestDialog.h"
#include "tests/platform/TestResources.h"
#include "tests/support/RunModal.h"

using namespace platform;
using testsupport::RunModal;

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
const QRgb kBlueRgb = qRgb(0, 0, 255);

// A memory context drawing into a 637 x 454 picture filled blue.
class MemoryDrawing : public testing::Test {
protected:
    void SetUp() override {
        testres::Install();
        ASSERT_TRUE(picture.LoadBitmap(testres::kPicture));
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&picture);
        dc.FillBackground(kBlue);
    }
    QRgb At(int x, int y) const { return picture.GetImage().pixel(x, y); }
    CBitmap picture;
    CDC dc;
};

CFont* ReadoutFont() {
    static CFont font;
    if (!font.IsCreated()) font.CreateFont(18, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 2, 16, "Times New Roman");
    return &font;
}

}  // namespace

TEST(Fonts, PositiveHeightIsTheCellAndTheFontFitsInIt) {
    CFont* font = ReadoutFont();
    EXPECT_EQ(font->GetCellHeight(), 18);
    const QFontMetrics fm(font->GetQFont());
    EXPECT_LE(fm.ascent() + fm.descent(), 18);
    EXPECT_EQ(font->GetAscent(), fm.ascent());
    // No larger size fits: one pixel more overflows the cell.
    QFont larger = font->GetQFont();
    larger.setPixelSize(font->GetQFont().pixelSize() + 1);
    const QFontMetrics lm(larger);
    EXPECT_GT(lm.ascent() + lm.descent(), 18);
    EXPECT_EQ(font->GetQFont().styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    EXPECT_TRUE(font->DeleteObject());
    EXPECT_FALSE(font->DeleteObject()) << "released once";

    // A cell that some size fills exactly takes that size, not a smaller one.
    QFont probe = ReadoutFont()->GetQFont();
    for (int size : {9, 12, 14, 20, 31}) {
        probe.setPixelSize(size);
        const QFontMetrics pm(probe);
        const int exact = pm.ascent() + pm.descent();
        CFont fitted;
        fitted.CreateFont(exact, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 2, 16, "Times New Roman");
        const QFontMetrics fm2(fitted.GetQFont());
        EXPECT_EQ(fm2.ascent() + fm2.descent(), exact) << "size " << size << ": fills its cell of " << exact;
        EXPECT_GE(fitted.GetQFont().pixelSize(), size);
        EXPECT_EQ(fitted.GetCellHeight(), exact);
    }
}

TEST(Fonts, KeptWidthsFollowTheFont) {
    CFont font;
    font.CreateFont(18, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 2, 16, "Times New Roman");
    // More texts than are kept, each asked twice: always the font's width.
    for (int round = 0; round < 2; ++round)
        for (int n = 1; n <= 100; ++n) {
            const QString text = QString::number(n * 37) + u'\xB0';
            ASSERT_EQ(font.TextWidth(text), QFontMetrics(font.GetQFont()).horizontalAdvance(text)) << n;
        }
    const int before = font.TextWidth(QString(25, u' '));
    // Created again at another size: the widths are those of the new font.
    font.CreateFont(30, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 2, 16, "Times New Roman");
    EXPECT_GT(font.TextWidth(QString(25, u' ')), before);
    EXPECT_EQ(font.TextWidth(QString(25, u' ')), QFontMetrics(font.GetQFont()).horizontalAdvance(QString(25, u' ')));
    font.DeleteObject();
    EXPECT_EQ(font.TextWidth(u"W"_qs), 0);
}

TEST(Pictures, DrawingIntoALoadedPictureLeavesTheResourceAsItWas) {
    testres::Install();
    CBitmap first;
    ASSERT_TRUE(first.LoadBitmap(testres::kPicture));
    const QImage original = first.GetImage().copy();
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&first);
    dc.FillBackground(RGB(1, 2, 3));
    ASSERT_EQ(first.GetImage().pixel(0, 0), qRgb(1, 2, 3));
    ASSERT_NE(original.pixel(0, 0), qRgb(1, 2, 3));
    CBitmap second;
    ASSERT_TRUE(second.LoadBitmap(testres::kPicture));
    EXPECT_EQ(second.GetImage(), original);
    EXPECT_FALSE(second.LoadBitmap("no such picture"));
}

TEST_F(MemoryDrawing, TextFillsAWhiteCellOfTheFontHeightAndDrawsBlackGlyphs) {
    CFont* font = ReadoutFont();
    const char text[] = " 12\xB0 N   045\xB0 W";
    const int length = static_cast<int>(sizeof text) - 1;
    dc.SetBkColor(RGB(255, 255, 255));
    dc.SelectObject(font);
    ASSERT_TRUE(dc.TextOut(135, 386, text, length));

    const int width = QFontMetrics(font->GetQFont()).horizontalAdvance(QString::fromLatin1(text, length));
    ASSERT_GT(width, 0);
    std::set<QRgb> colours;
    int black = 0;
    for (int y = 386; y < 386 + 18; ++y) {
        for (int x = 135; x < 135 + width; ++x) {
            colours.insert(At(x, y));
            black += At(x, y) == qRgb(0, 0, 0);
        }
    }
    EXPECT_EQ(colours, (std::set<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0)})) << "only white and pure black";
    EXPECT_GT(black, 40);
    // The whole cell is filled: the top row and the bottom row are white at
    // the left edge (a leading space), and nothing outside the cell changed.
    EXPECT_EQ(At(135, 386), qRgb(255, 255, 255));
    EXPECT_EQ(At(135, 386 + 17), qRgb(255, 255, 255));
    for (int x = 130; x < 135 + width + 5; ++x) {
        EXPECT_EQ(At(x, 385), kBlueRgb) << x;
        EXPECT_EQ(At(x, 386 + 18), kBlueRgb) << x;
    }
    EXPECT_EQ(At(134, 390), kBlueRgb);
    EXPECT_EQ(At(135 + width, 390), kBlueRgb);
}

TEST_F(MemoryDrawing, BlanksOverwriteAnEarlierLongerText) {
    CFont* font = ReadoutFont();
    dc.SelectObject(font);
    dc.SetBkColor(RGB(255, 255, 255));
    dc.TextOut(10, 10, std::string("WWWWWWW"));
    dc.TextOut(10, 10, std::string(25, ' '));
    for (int y = 10; y < 28; ++y)
        for (int x = 10; x < 60; ++x) ASSERT_EQ(At(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST_F(MemoryDrawing, TextExtentIsTheCellTextOutFills) {
    dc.SelectObject(ReadoutFont());
    dc.SetBkColor(RGB(255, 255, 255));
    const std::string text("10800");
    const CSize extent = dc.GetTextExtent(text);
    EXPECT_EQ(extent.cy, 18);
    ASSERT_GT(extent.cx, 0);
    EXPECT_EQ(dc.GetTextExtent(std::string(9, ' ')).cx, 9 * dc.GetTextExtent(" ", 1).cx);
    dc.TextOut(20, 30, text);
    for (int x = 20; x < 20 + extent.cx; ++x) EXPECT_NE(At(x, 31), kBlueRgb) << x;
    EXPECT_EQ(At(20 + extent.cx, 31), kBlueRgb);
    EXPECT_EQ(At(20, 30 + extent.cy), kBlueRgb);
    EXPECT_EQ(dc.GetTextExtent("x", -1), CSize{});
}

TEST_F(MemoryDrawing, EllipseOfRadiusFourIsAnEightByEightDot) {
    CBrush yellow;
    yellow.CreateSolidBrush(RGB(255, 255, 0));
    dc.SelectObject(&yellow);
    const int x = 100, y = 50;
    ASSERT_TRUE(dc.Ellipse(x - 4, y - 4, x + 4, y + 4));

    for (int py = y - 6; py < y + 6; ++py) {
        for (int px = x - 6; px < x + 6; ++px) {
            const bool inside = px >= x - 4 && px < x + 4 && py >= y - 4 && py < y + 4;
            if (!inside) {
                EXPECT_EQ(At(px, py), kBlueRgb) << px << "," << py;
            }
        }
    }
    for (int px : {x - 4, x + 3})
        for (int py : {y - 4, y + 3}) EXPECT_EQ(At(px, py), kBlueRgb) << "corner " << px << "," << py;
    EXPECT_EQ(At(x, y), qRgb(255, 255, 0));
    EXPECT_EQ(At(x - 1, y - 1), qRgb(255, 255, 0));
    // The outline touches all four sides of the 8 x 8 square in black.
    EXPECT_EQ(At(x, y - 4), qRgb(0, 0, 0));
    EXPECT_EQ(At(x, y + 3), qRgb(0, 0, 0));
    EXPECT_EQ(At(x - 4, y), qRgb(0, 0, 0));
    EXPECT_EQ(At(x + 3, y), qRgb(0, 0, 0));
    for (int py = y - 4; py < y + 4; ++py)
        for (int px = x - 4; px < x + 4; ++px) {
            const QRgb c = At(px, py);
            EXPECT_TRUE(c == kBlueRgb || c == qRgb(0, 0, 0) || c == qRgb(255, 255, 0)) << px << "," << py;
        }
}

TEST_F(MemoryDrawing, CopyStopsAtTheSourcePictureAndSelectReturnsThePrevious) {
    CBitmap source;
    ASSERT_TRUE(source.LoadBitmap(testres::kPicture));
    CDC from;
    from.CreateCompatibleDC(&dc);
    CBitmap* stock = from.SelectObject(&source);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(from.SelectObject(stock), &source);
    from.SelectObject(&source);
    // From (630, 450): only 7 x 4 source pixels exist.
    ASSERT_TRUE(dc.BitBlt(10, 10, 640, 480, &from, 630, 450, SRCCOPY));
    EXPECT_EQ(At(10, 10), testres::Picture().pixel(630, 450));
    EXPECT_EQ(At(16, 13), testres::Picture().pixel(636, 453));
    EXPECT_EQ(At(17, 13), kBlueRgb);
    EXPECT_EQ(At(16, 14), kBlueRgb);
    EXPECT_FALSE(dc.BitBlt(0, 0, 5, 5, &from, 0, 0, 0x00EE0086)) << "only plain copies";
}

namespace {

class SurfaceTest : public testing::Test {
protected:
    void SetUp() override { testres::Install(); }
    TestDialog dialog;

    // Compares the surface with the picture over the client area.
    static int Differences(const QImage& surface, const QRect& area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += surface.pixel(x, y) != testres::Picture().pixel(x, y);
        return n;
    }
};

}  // namespace

TEST_F(SurfaceTest, FirstPaintShowsThePictureOverTheWholeClientArea) {
    RunModal(dialog, [&] {
        dialog.UpdateWindow();
        EXPECT_EQ(dialog.paints, 1);
        EXPECT_EQ(Differences(dialog.GetSurfaceImage(), QRect(0, 0, 637, 453)), 0);
        dialog.UpdateWindow();
        EXPECT_EQ(dialog.paints, 1) << "nothing pending, nothing painted";
        dialog.EndDialog(IDOK);
    });
}

TEST_F(SurfaceTest, ClientDrawingLastsThroughExposes) {
    RunModal(dialog, [&] {
        dialog.UpdateWindow();
        CClientDC dc(&dialog);
        dc.SetBkColor(RGB(255, 255, 255));
        dc.SelectObject(ReadoutFont());
        dc.TextOut(135, 100, std::string(" readout"));
        const QImage drawn = dialog.GetSurfaceImage();
        // The window system asks for the whole window again: only shown.
        dialog.GetWindow()->repaint();
        testsupport::Settle();
        EXPECT_EQ(dialog.paints, 1);
        EXPECT_EQ(dialog.GetSurfaceImage(), drawn);
        // What is on the screen is the surface (above the controls), readout included.
        EXPECT_NE(drawn.pixel(136, 101), testres::Picture().pixel(136, 101));
        const QImage shown =
            dialog.GetWindow()->grab(QRect(0, 0, 637, 380)).toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), QSize(637, 380));
        int differ = 0;
        for (int y = 0; y < 380; ++y)
            for (int x = 0; x < 637; ++x) differ += shown.pixel(x, y) != drawn.pixel(x, y);
        EXPECT_EQ(differ, 0);
        dialog.EndDialog(IDOK);
    });
}

TEST_F(SurfaceTest, InvalidatedSquareIsRestoredAndNothingElseChanges) {
    RunModal(dialog, [&] {
        dialog.UpdateWindow();
        CBrush red;
        red.CreateSolidBrush(RGB(255, 0, 0));
        {
            CClientDC dc(&dialog);
            dc.SelectObject(&red);
            dc.Ellipse(196, 96, 204, 104);
            dc.Ellipse(202, 98, 210, 106);  // overlaps the first square
        }
        const QImage before = dialog.GetSurfaceImage();
        const CRect square{196, 96, 204, 104};
        dialog.InvalidateRect(&square, FALSE);
        dialog.UpdateWindow();
        EXPECT_EQ(dialog.paints, 2);
        const QImage after = dialog.GetSurfaceImage();
        EXPECT_EQ(Differences(after, QRect(196, 96, 8, 8)), 0) << "the square shows the picture again";
        int changed = 0;
        for (int y = 0; y < 453; ++y)
            for (int x = 0; x < 637; ++x)
                if (!QRect(196, 96, 8, 8).contains(x, y)) changed += after.pixel(x, y) != before.pixel(x, y);
        EXPECT_EQ(changed, 0);
        EXPECT_NE(after.pixel(206, 102), testres::Picture().pixel(206, 102)) << "the second dot stays";
        dialog.EndDialog(IDOK);
    });
}

TEST_F(SurfaceTest, PendingInvalidationIsPaintedBeforeTheNextPresentation) {
    RunModal(dialog, [&] {
        dialog.UpdateWindow();
        {
            CClientDC dc(&dialog);
            dc.FillBackground(kBlue);
        }
        const CRect all{0, 0, 637, 453};
        dialog.InvalidateRect(&all, FALSE);
        dialog.GetWindow()->repaint();  // the paint event runs the pending paint
        EXPECT_EQ(dialog.paints, 2);
        EXPECT_EQ(Differences(dialog.GetSurfaceImage(), QRect(0, 0, 637, 453)), 0);
        dialog.EndDialog(IDOK);
    });
}
