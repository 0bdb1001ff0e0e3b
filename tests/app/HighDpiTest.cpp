// The main dialog on a high-density screen (run by CTest with QT_SCALE_FACTOR
// 2 and 1.5 on the offscreen platform): the client surface holds device
// pixels, the map comes from the 2x picture, readouts are drawn at the
// screen's density, markers are restored whole and pointer positions between
// pixels fall in the pixel that holds them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QtMath>

#include "app/DexlinDlg.h"
#include "geometry/MapProjection.h"
#include "platform/LocalTime.h"
#include "platform/MessageBox.h"
#include "resources/DexlinResources.h"
#include "tests/support/AppDialogTest.h"
#include "tests/support/RunModal.h"

using platform::CPoint;
using testsupport::RunModal;

namespace {

const QSize kClient(637, 453);

// The six readout boxes (inclusive), as the map picture draws them.
const QRect kBoxes[] = {QRect(QPoint(131, 384), QPoint(236, 404)), QRect(QPoint(131, 407), QPoint(236, 427)),
                        QRect(QPoint(131, 430), QPoint(236, 450)), QRect(QPoint(347, 384), QPoint(452, 404)),
                        QRect(QPoint(347, 407), QPoint(397, 427)), QRect(QPoint(347, 430), QPoint(397, 450))};

void Send(CDexlinDlg& dlg, QEvent::Type type, Qt::MouseButton button, QPointF local) {
    QWidget* w = dlg.GetWindow();
    QMouseEvent event(type, local, w->mapToGlobal(local), button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// The device pixels of a client rectangle, as the surface holds them.
QRect Device(const QRect& r, qreal dpr) {
    return QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr).toAlignedRect();
}

// Ink across a bevel: the darkness (255 - grey) summed over the device pixels
// of the two rings, the yellow client pixel outside them and the white one
// inside, along a line through the middle of that side.
long BevelInk(const QImage& s, const QRect& box, int side) {
    const qreal d = s.devicePixelRatio();
    long ink = 0;
    const int mid =
        side < 2 ? qFloor((box.left() + box.right()) / 2.0 * d) : qFloor((box.top() + box.bottom()) / 2.0 * d);
    const auto add = [&](int from, int to, bool rows) {
        for (int i = from; i < to; ++i) ink += 255 - qGray(rows ? s.pixel(mid, i) : s.pixel(i, mid));
    };
    switch (side) {
    case 0: add(qFloor((box.top() - 1) * d), qCeil((box.top() + 3) * d), true); break;
    case 1: add(qFloor((box.bottom() - 2) * d), qCeil((box.bottom() + 2) * d), true); break;
    case 2: add(qFloor((box.left() - 1) * d), qCeil((box.left() + 3) * d), false); break;
    default: add(qFloor((box.right() - 2) * d), qCeil((box.right() + 2) * d), false); break;
    }
    return ink;
}

class HighDpiTest : public testsupport::AppDialogTest {
protected:
    void SetUp() override {
        AppDialogTest::SetUp();
        dpr = QGuiApplication::primaryScreen()->devicePixelRatio();
        ASSERT_GT(dpr, 1.0) << "run with QT_SCALE_FACTOR above 1";
    }
    qreal dpr = 1.0;
};

}  // namespace

TEST_F(HighDpiTest, SurfaceHoldsDevicePixelsAndTheMapComesFromTheDensePicture) {
    const QImage dense = QImage(QStringLiteral(":/pictures/worldmap@2x.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(dense.size(), QSize(1274, 908));
    CDexlinDlg dlg;
    RunModal(dlg, [&] {
        dlg.UpdateWindow();
        const QImage s = dlg.GetSurfaceImage();
        EXPECT_EQ(s.devicePixelRatio(), dpr);
        EXPECT_EQ(s.size(), QSize(qCeil(kClient.width() * dpr), qCeil(kClient.height() * dpr)));
        if (dpr == 2.0) {
            EXPECT_EQ(s, dense.copy(0, 0, s.width(), s.height()).convertToFormat(s.format())) << "pixel for pixel";
        }
        // Every bevel carries the same ink on its side, in every box: none is
        // one device pixel thinner than another (at 1.5 a ring drawn 1 device
        // pixel wide here and 2 there would differ by a third; resampling the
        // 2x picture keeps them within a few percent).
        long reference[4] = {BevelInk(s, kBoxes[0], 0), BevelInk(s, kBoxes[0], 1), BevelInk(s, kBoxes[0], 2),
                             BevelInk(s, kBoxes[0], 3)};
        for (const QRect& box : kBoxes)
            for (int side = 0; side < 4; ++side) {
                const long ink = BevelInk(s, box, side);
                EXPECT_NEAR(ink, reference[side], reference[side] / 10)
                    << "box at " << box.x() << "," << box.y() << " side " << side;
            }
        dlg.EndDialog(platform::IDCANCEL);
    });
}

// Device positions as the window system gives them (whole device pixels; Qt
// rounds the widget's own position to whole client pixels on the way): each
// lies in the client pixel that holds it, 601 at scale 2 in 300, 451 at 1.5 in
// 300, and the marker and readout follow that pixel.
TEST_F(HighDpiTest, DevicePixelsLieInTheClientPixelThatHoldsThem) {
    CDexlinDlg dlg;
    RunModal(dlg, [&] {
        QWindow* window = dlg.GetWindow()->windowHandle();
        ASSERT_NE(window, nullptr);
        // A client pixel k holds device pixels k*dpr up to (k+1)*dpr (exclusive).
        for (int device = 598; device <= 606; ++device) {
            const int expected = qFloor(device / dpr);
            const QPointF logical = QPointF(device, device - 200) / dpr;
            qt_handleMouseEvent(window, logical, window->mapToGlobal(logical), Qt::LeftButton, Qt::LeftButton,
                                QEvent::MouseButtonPress, Qt::NoModifier, 0);
            qt_handleMouseEvent(window, logical, window->mapToGlobal(logical), Qt::NoButton, Qt::LeftButton,
                                QEvent::MouseButtonRelease, Qt::NoModifier, 0);
            EXPECT_EQ(dlg.m_ptStartMarker, (CPoint{expected, qFloor((device - 200) / dpr)})) << "device " << device;
        }
        // The position read where the marker sits: client pixel (300, 200).
        const QPointF logical = QPointF(601, 401) / dpr;
        qt_handleMouseEvent(window, logical, window->mapToGlobal(logical), Qt::RightButton, Qt::RightButton,
                            QEvent::MouseButtonPress, Qt::NoModifier, 0);
        EXPECT_EQ(dlg.m_ptDestMarker, (CPoint{qFloor(601 / dpr), qFloor(401 / dpr)}));
        dlg.EndDialog(platform::IDCANCEL);
    });
}

TEST_F(HighDpiTest, ReadoutsAtTheScreensDensityAndMarkersRestoredWhole) {
    CDexlinDlg dlg;
    RunModal(dlg, [&] {
        dlg.UpdateWindow();
        const QImage painted = dlg.GetSurfaceImage();

        // A position between pixels lies in the pixel that holds it.
        Send(dlg, QEvent::MouseButtonPress, Qt::LeftButton, QPointF(150.9, 100.6));
        EXPECT_EQ(dlg.m_ptStartMarker, (CPoint{150, 100}));

        // The cursor readout: the text in the readout font drawn on a surface
        // of the same density, black on white, anchored at (135, 386).
        Send(dlg, QEvent::MouseMove, Qt::NoButton, QPointF(200, 120));
        double lat = 0.0, lon = 0.0;
        std::string text;
        geometry::PixelToGeographic(geometry::kWorldMap, 200, 120, lat, lon, text);
        const QString shown = QString::fromLatin1(" " + text);
        const platform::CFont& font = *dlg.m_pReadoutFont;
        QImage expected = painted.copy();
        {
            QPainter p(&expected);
            p.setRenderHint(QPainter::TextAntialiasing, false);
            const QFontMetrics fm(font.GetQFont());
            const QString blank(25, u' ');
            for (const QString& t : {blank, shown}) {
                p.fillRect(QRect(135, 386, fm.horizontalAdvance(t), font.GetCellHeight()), Qt::white);
                p.setFont(font.GetQFont());
                p.setPen(Qt::black);
                p.drawText(135, 386 + font.GetAscent(), t);
            }
        }
        const QRect cursorBox = Device(QRect(133, 386, 102, 17), dpr);
        const QImage s = dlg.GetSurfaceImage();
        EXPECT_EQ(s.copy(cursorBox), expected.copy(cursorBox)) << "the position text at the screen's density";
        if (dpr == 2.0) {
            // Not one client pixel blown up: some 2 x 2 block mixes black and white.
            bool mixed = false;
            for (int y = cursorBox.top(); y < cursorBox.bottom() && !mixed; y += 2)
                for (int x = cursorBox.left(); x < cursorBox.right() && !mixed; x += 2)
                    mixed = s.pixel(x, y) != s.pixel(x + 1, y) || s.pixel(x, y) != s.pixel(x, y + 1);
            EXPECT_TRUE(mixed);
        }

        // A destination over the start's square, then the start moved away:
        // the old square is the map again and the destination stays whole.
        Send(dlg, QEvent::MouseButtonPress, Qt::RightButton, QPointF(300, 150));
        const QRect destSquare = Device(QRect(296, 146, 8, 8), dpr);
        const QImage destAlone = dlg.GetSurfaceImage().copy(destSquare);
        Send(dlg, QEvent::MouseButtonPress, Qt::LeftButton, QPointF(303, 152));
        Send(dlg, QEvent::MouseButtonPress, Qt::LeftButton, QPointF(400, 200));
        const QImage after = dlg.GetSurfaceImage();
        int changed = 0;
        for (int y = 0; y < destSquare.height(); ++y)
            for (int x = 0; x < destSquare.width(); ++x)
                changed += after.pixel(destSquare.x() + x, destSquare.y() + y) != destAlone.pixel(x, y);
        EXPECT_EQ(changed, 0) << "the destination marker whole";
        const QRect oldStart = Device(QRect(299, 148, 8, 8), dpr);
        for (int y = oldStart.top(); y <= oldStart.bottom(); ++y)
            for (int x = oldStart.left(); x <= oldStart.right(); ++x)
                if (!destSquare.contains(x, y)) {
                    ASSERT_EQ(after.pixel(x, y), painted.pixel(x, y)) << "old start square at " << x << "," << y;
                }
        const QRect firstStart = Device(QRect(146, 96, 8, 8), dpr);
        EXPECT_EQ(after.copy(firstStart), painted.copy(firstStart)) << "the first start marker gone";
        dlg.EndDialog(platform::IDCANCEL);
    });
}
