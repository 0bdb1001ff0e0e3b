// The main dialog's pointer handlers on the offscreen platform: mouse events
// sent straight to its window, the client surface compared pixel for pixel
// with the map picture and readouts drawn independently of the dialog.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include "app/DexlinDlg.h"
#include "geometry/GreatCircle.h"
#include "geometry/MapProjection.h"
#include "model/MagneticModel.h"
#include "model/ModelDate.h"
#include "platform/LocalTime.h"
#include "platform/MessageBox.h"
#include "platform/Region.h"
#include "platform/ResourceLookup.h"
#include "resources/DexlinResources.h"
#include "resources/resource.h"
#include "tests/support/AppDialogTest.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/support/RunModal.h"

using platform::CPoint;
using platform::UINT;
using testsupport::RunModal;

namespace {

constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlack = qRgb(0, 0, 0);
const QRect kClient(0, 0, 637, 453);

// The readout boxes: anchor, spaces that blank them, and the widest text
// each format gives in the readout font.
struct Box {
    int x, y, blank;
    const char* widest;
};
constexpr const char* kWidestPosition = " 00\xB0 N   000\xB0 W";
constexpr Box kCursorBox{135, 386, 25, kWidestPosition};
constexpr Box kVariationBox{355, 386, 21, "0000\xB0 00.0' W"};
constexpr Box kStartBox{135, 409, 25, kWidestPosition};
constexpr Box kCourseBox{355, 409, 9, "000\xB0"};
constexpr Box kDestBox{135, 432, 25, kWidestPosition};
constexpr Box kDistanceBox{355, 432, 9, "00000"};

QImage MapPicture() {
    const platform::BitmapResource* map = platform::FindBitmap(IDB_WORLDMAP);
    return map != nullptr ? QImage(QString::fromUtf8(map->path)).convertToFormat(QImage::Format_RGB32) : QImage();
}

int Differences(const QImage& a, const QImage& b, const QRect& area = kClient) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// What a readout box shows after its blank and its text: each string black on
// an opaque white cell of the font's height, top-left at the anchor.
void DrawReadout(QImage& image, const platform::CFont& font, const Box& box, const std::string& text) {
    const QFontMetrics fm(font.GetQFont());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font.GetQFont());
    painter.setPen(Qt::black);
    // The blank: its spaces, more where the widest text is wider than they are.
    int blank = box.blank;
    while (fm.horizontalAdvance(QString(blank, u' ')) < fm.horizontalAdvance(QString::fromLatin1(box.widest))) ++blank;
    for (const std::string& s : {std::string(static_cast<std::size_t>(blank), ' '), text}) {
        const QString q = QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
        painter.fillRect(QRect(box.x, box.y, fm.horizontalAdvance(q), font.GetCellHeight()), Qt::white);
        painter.drawText(box.x, box.y + font.GetAscent(), q);
    }
}

std::string PositionText(int x, int y) {
    double lat = 0.0, lon = 0.0;
    std::string text;
    geometry::PixelToGeographic(geometry::kWorldMap, x, y, lat, lon, text);
    return " " + text;
}

model::MagneticElements ElementsAt(int x, int y, double year) {
    double lat = 0.0, lon = 0.0;
    std::string text;
    geometry::PixelToGeographic(geometry::kWorldMap, x, y, lat, lon, text);
    model::MagneticElements e{};
    EXPECT_EQ(model::ComputeMagneticElements(lat, lon, year, e), model::kStatusOk);
    return e;
}

// "%4d° %4.1f' %c" with the hemisphere letter given.
std::string VariationText(int degrees, double minutes, char letter) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%4d\xB0 %4.1f' %c", std::abs(degrees), std::fabs(minutes), letter);
    return buffer;
}

struct Route {
    double course = 0.0, distance = 0.0;
};
Route RouteBetween(CPoint start, CPoint dest) {
    double lat1 = 0.0, lon1 = 0.0, lat2 = 0.0, lon2 = 0.0;
    std::string text;
    geometry::PixelToGeographic(geometry::kWorldMap, start.x, start.y, lat1, lon1, text);
    geometry::PixelToGeographic(geometry::kWorldMap, dest.x, dest.y, lat2, lon2, text);
    Route r;
    geometry::GreatCircleCourseDistance(lat1, lon1, lat2, lon2, r.course, r.distance);
    return r;
}

// The dialog with a window on the messages that reach default processing.
class ProbeDlg : public CDexlinDlg {
public:
    std::vector<UINT> defaulted;

protected:
    platform::LRESULT DefWindowProc(UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override {
        defaulted.push_back(message);
        return CDexlinDlg::DefWindowProc(message, wParam, lParam);
    }
};

// Everything the handlers may change besides the surface.
struct PointerState {
    double startLat, startLon, destLat, destLon;
    CPoint startMarker, destMarker;
    int startSet, destSet, startDrawn, destDrawn;
    friend bool operator==(const PointerState&, const PointerState&) = default;
};
PointerState StateOf(const CDexlinDlg& d) {
    return {d.m_dStartLat,    d.m_dStartLon, d.m_dDestLat, d.m_dDestLon,    d.m_ptStartMarker,
            d.m_ptDestMarker, d.m_bStartSet, d.m_bDestSet, d.m_bStartDrawn, d.m_bDestDrawn};
}

enum class Pointer { Move, Left, Right };

void Send(CDexlinDlg& dlg, Pointer kind, int x, int y) {
    QWidget* w = dlg.GetWindow();
    const QPointF local(x, y);
    const QPointF global = w->mapToGlobal(local);
    const Qt::MouseButton button = kind == Pointer::Left    ? Qt::LeftButton
                                   : kind == Pointer::Right ? Qt::RightButton
                                                            : Qt::NoButton;
    QMouseEvent event(kind == Pointer::Move ? QEvent::MouseMove : QEvent::MouseButtonPress, local, global, button,
                      button, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

class PointerTest : public testsupport::AppDialogTest {
protected:
    void SetUp() override {
        AppDialogTest::SetUp();
        picture = MapPicture();
        ASSERT_EQ(picture.size(), QSize(637, 454));
    }
    // Runs the body in the dialog's modal loop once the map is painted.
    void WithDialog(CDexlinDlg& dlg, const std::function<void()>& body) {
        RunModal(dlg, [&] {
            dlg.UpdateWindow();
            ASSERT_EQ(Differences(dlg.GetSurfaceImage(), picture), 0) << "the map picture as painted";
            body();
            dlg.EndDialog(platform::IDCANCEL);
        });
    }
    // The 8 x 8 square of a marker centred at p.
    static QRect Square(CPoint p) { return QRect(p.x - 4, p.y - 4, 8, 8); }

    // A whole marker at p: fill at the centre, black outline at the square's
    // edge midpoints, corners and everything round the square untouched.
    void ExpectDot(const QImage& s, CPoint p, QRgb fill, const char* what) {
        ExpectDotInside(s, p, fill, what);
        for (const QPoint& c :
             {QPoint(p.x - 4, p.y - 4), QPoint(p.x + 3, p.y - 4), QPoint(p.x - 4, p.y + 3), QPoint(p.x + 3, p.y + 3),
              QPoint(p.x + 4, p.y), QPoint(p.x, p.y + 4), QPoint(p.x - 5, p.y), QPoint(p.x, p.y - 5)})
            EXPECT_EQ(s.pixel(c), picture.pixel(c)) << what << " outside the circle at " << c.x() << "," << c.y();
    }
    // Fill at the centre, black outline at the square's edge midpoints (those
    // within the client area).
    static void ExpectDotInside(const QImage& s, CPoint p, QRgb fill, const char* what) {
        const std::pair<QPoint, QRgb> pixels[] = {
            {{p.x, p.y}, fill},       {{p.x - 1, p.y - 1}, fill}, {{p.x + 1, p.y + 1}, fill}, {{p.x - 4, p.y}, kBlack},
            {{p.x + 3, p.y}, kBlack}, {{p.x, p.y - 4}, kBlack},   {{p.x, p.y + 3}, kBlack}};
        for (const auto& [at, colour] : pixels)
            if (kClient.contains(at)) {
                EXPECT_EQ(s.pixel(at), colour) << what << " at " << at.x() << "," << at.y();
            }
    }

    QImage picture;
};

}  // namespace

TEST_F(PointerTest, MoveShowsPositionAndVariationInTheirBoxes) {
    CDexlinDlg dlg;
    WithDialog(dlg, [&] {
        const CPoint p{200, 120};
        Send(dlg, Pointer::Move, p.x, p.y);
        QImage expected = picture;
        DrawReadout(expected, *dlg.m_pReadoutFont, kCursorBox, PositionText(p.x, p.y));
        const model::MagneticElements e = ElementsAt(p.x, p.y, dlg.m_dModelYear);
        const bool west = e.declinationDegrees < 0 || (e.declinationDegrees == 0 && e.declinationMinutes < 0.0);
        DrawReadout(expected, *dlg.m_pReadoutFont, kVariationBox,
                    VariationText(e.declinationDegrees, e.declinationMinutes, west ? 'W' : 'E'));
        EXPECT_GT(Differences(expected, picture, QRect(135, 386, 400, 18)), 100) << "the readouts show text";
        EXPECT_EQ(Differences(dlg.GetSurfaceImage(), expected), 0);

        // A move off the map, on the panel: nothing changes.
        Send(dlg, Pointer::Move, p.x, 400);
        EXPECT_EQ(Differences(dlg.GetSurfaceImage(), expected), 0);

        // The next move redraws both boxes with the new texts.
        const CPoint q{600, 300};
        Send(dlg, Pointer::Move, q.x, q.y);
        const model::MagneticElements f = ElementsAt(q.x, q.y, dlg.m_dModelYear);
        const bool westQ = f.declinationDegrees < 0 || (f.declinationDegrees == 0 && f.declinationMinutes < 0.0);
        DrawReadout(expected, *dlg.m_pReadoutFont, kCursorBox, PositionText(q.x, q.y));
        DrawReadout(expected, *dlg.m_pReadoutFont, kVariationBox,
                    VariationText(f.declinationDegrees, f.declinationMinutes, westQ ? 'W' : 'E'));
        EXPECT_EQ(Differences(dlg.GetSurfaceImage(), expected), 0);
    });
}

// Qt installs the process locale from the environment; under one with a
// decimal comma the variation box still shows its minutes with a point.
TEST_F(PointerTest, VariationKeepsItsPointUnderADecimalCommaLocale) {
    const CPoint p{200, 120};
    CDexlinDlg dlg;
    const model::MagneticElements e = ElementsAt(p.x, p.y, dlg.m_dModelYear);
    const std::string text = VariationText(e.declinationDegrees, e.declinationMinutes, 'W');
    ASSERT_EQ(text, "  28\xB0 57.5' W");  // printf's, in the C locale of the test's start
    const testsupport::DecimalCommaLocale comma;
    ASSERT_TRUE(comma.ok() && testsupport::DecimalCommaLocale::comma()) << "no locale with a decimal comma";
    WithDialog(dlg, [&] {
        Send(dlg, Pointer::Move, p.x, p.y);
        QImage expected = picture;
        DrawReadout(expected, *dlg.m_pReadoutFont, kCursorBox, PositionText(p.x, p.y));
        DrawReadout(expected, *dlg.m_pReadoutFont, kVariationBox, text);
        EXPECT_EQ(Differences(dlg.GetSurfaceImage(), expected), 0);
    });
}

// The variation box is written only while the model date is strictly inside
// the model's years and the field has a direction; the position box always.
struct GateCase {
    const char* name;
    int year, month, day;
    bool shown;
    const char* model = nullptr;  // a built-in model's key; nullptr: the dialog's default
};
class VariationGate : public PointerTest, public testing::WithParamInterface<GateCase> {};

TEST_P(VariationGate, OnlyInsideTheModelYears) {
    const GateCase& c = GetParam();
    UseDate(c.year, c.month, c.day);
    // "zeros": a model read from a file of zero coefficients, a field without direction.
    static const model::FieldModel zeros = [] {
        model::FieldModel m = model::Wmm2025();
        for (model::CoefficientRecord& r : m.coefficients) r.g = r.h = r.gdot = r.hdot = 0.0;
        return m;
    }();
    const model::FieldModel* fieldModel = c.model == nullptr                     ? nullptr
                                          : std::string_view(c.model) == "zeros" ? &zeros
                                                                                 : model::FindBuiltInModel(c.model);
    CDexlinDlg dlg(nullptr, fieldModel);
    WithDialog(dlg, [&] {
        Send(dlg, Pointer::Move, 317, 246);
        const QImage s = dlg.GetSurfaceImage();
        QImage expected = picture;
        DrawReadout(expected, *dlg.m_pReadoutFont, kCursorBox, PositionText(317, 246));
        EXPECT_EQ(Differences(s, expected, QRect(135, 386, 200, 18)), 0);
        const QRect variation(355, 386, 180, 18);
        if (c.shown) {
            model::MagneticElements e = ElementsAt(317, 246, dlg.m_dModelYear);
            if (fieldModel != nullptr) {
                // Any model but the reference field: its query at height 0.
                double lat = 0.0, lon = 0.0;
                std::string text;
                geometry::PixelToGeographic(geometry::kWorldMap, 317, 246, lat, lon, text);
                ASSERT_EQ(model::ComputeMagneticElements(*fieldModel, lat, lon, 0.0, dlg.m_dModelYear, e),
                          model::kStatusOk);
            }
            const bool west = e.declinationDegrees < 0 || (e.declinationDegrees == 0 && e.declinationMinutes < 0.0);
            DrawReadout(expected, *dlg.m_pReadoutFont, kVariationBox,
                        VariationText(e.declinationDegrees, e.declinationMinutes, west ? 'W' : 'E'));
            EXPECT_GT(Differences(expected, picture, variation), 0);
        } else if (fieldModel == &zeros) {
            // Inside the years, but no direction: the box is blanked, never left stale.
            DrawReadout(expected, *dlg.m_pReadoutFont, kVariationBox, "");
        }
        EXPECT_EQ(Differences(s, expected), 0);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Dates, VariationGate,
    testing::Values(GateCase{"mid_1997", 1997, 6, 15, true}, GateCase{"first_day_inside", 1994, 12, 1, true},
                    GateCase{"last_day_inside", 1999, 11, 30, true}, GateCase{"day_before", 1994, 11, 30, false},
                    GateCase{"day_after", 1999, 12, 1, false}, GateCase{"wmm2025_today", 2026, 12, 9, true, "wmm2025"},
                    GateCase{"wmm2025_in_2031", 2031, 1, 1, false, "wmm2025"},
                    GateCase{"wmm2025_in_1997", 1997, 6, 15, false, "wmm2025"},
                    GateCase{"undetermined_direction", 2026, 12, 9, false, "zeros"}),
    [](const testing::TestParamInfo<GateCase>& info) { return std::string(info.param.name); });

// Edges of the map count as inside; one pixel beyond, every event is dropped
// whole: no pixel, no member, no default processing.
TEST_F(PointerTest, EdgesAreInsideAndOnePixelBeyondIsDropped) {
    const std::vector<CPoint> inside{{0, 200}, {634, 200}, {300, 0}, {300, 378}, {0, 0}, {634, 378}};
    const std::vector<CPoint> outside{{-1, 200}, {635, 200}, {300, -1}, {300, 379}, {-1, -1}, {635, 379}, {636, 452}};
    ProbeDlg dlg;
    WithDialog(dlg, [&] {
        for (Pointer kind : {Pointer::Move, Pointer::Left, Pointer::Right}) {
            for (const CPoint& p : outside) {
                const QImage before = dlg.GetSurfaceImage();
                const PointerState state = StateOf(dlg);
                dlg.defaulted.clear();
                Send(dlg, kind, p.x, p.y);
                EXPECT_EQ(Differences(dlg.GetSurfaceImage(), before), 0) << p.x << "," << p.y;
                EXPECT_TRUE(StateOf(dlg) == state) << p.x << "," << p.y;
                EXPECT_TRUE(dlg.defaulted.empty()) << p.x << "," << p.y;
            }
            for (const CPoint& p : inside) {
                dlg.defaulted.clear();
                Send(dlg, kind, p.x, p.y);
                const QImage s = dlg.GetSurfaceImage();
                const Box& box = kind == Pointer::Move ? kCursorBox : kind == Pointer::Left ? kStartBox : kDestBox;
                QImage expected = s;
                DrawReadout(expected, *dlg.m_pReadoutFont, box, PositionText(p.x, p.y));
                EXPECT_EQ(Differences(s, expected), 0) << p.x << "," << p.y;
                const UINT message = kind == Pointer::Move   ? platform::WM_MOUSEMOVE
                                     : kind == Pointer::Left ? platform::WM_LBUTTONDOWN
                                                             : platform::WM_RBUTTONDOWN;
                EXPECT_EQ(std::count(dlg.defaulted.begin(), dlg.defaulted.end(), message), 1)
                    << "passed on once: " << p.x << "," << p.y;
                if (kind == Pointer::Left) {
                    EXPECT_EQ(dlg.m_ptStartMarker, p);
                }
                if (kind == Pointer::Right) {
                    EXPECT_EQ(dlg.m_ptDestMarker, p);
                }
            }
        }
    });
}

TEST_F(PointerTest, StartThenDestinationThenANewStart) {
    CDexlinDlg dlg;
    WithDialog(dlg, [&] {
        const CPoint a{150, 100}, b{450, 280}, c{500, 60};
        const platform::CFont& font = *dlg.m_pReadoutFont;

        // Start alone: its dot and text; course and distance stay empty.
        Send(dlg, Pointer::Left, a.x, a.y);
        QImage s = dlg.GetSurfaceImage();
        ExpectDot(s, a, kYellow, "start");
        QImage expected = picture;
        DrawReadout(expected, font, kStartBox, PositionText(a.x, a.y));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) expected.setPixel(a.x - 4 + x, a.y - 4 + y, s.pixel(a.x - 4 + x, a.y - 4 + y));
        EXPECT_EQ(Differences(s, expected), 0) << "only the dot and the start box";
        EXPECT_TRUE(dlg.m_bStartSet && dlg.m_bStartDrawn && !dlg.m_bDestSet && !dlg.m_bDestDrawn);
        const QImage yellowDot = s.copy(Square(a));

        // Destination: its dot and text, then course and distance.
        Send(dlg, Pointer::Right, b.x, b.y);
        s = dlg.GetSurfaceImage();
        ExpectDot(s, b, kRed, "destination");
        ExpectDot(s, a, kYellow, "start stays");
        DrawReadout(expected, font, kDestBox, PositionText(b.x, b.y));
        Route r = RouteBetween(a, b);
        DrawReadout(expected, font, kCourseBox, geometry::FormatCourse(r.course));
        DrawReadout(expected, font, kDistanceBox, geometry::FormatDistance(r.distance));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) expected.setPixel(b.x - 4 + x, b.y - 4 + y, s.pixel(b.x - 4 + x, b.y - 4 + y));
        EXPECT_EQ(Differences(s, expected), 0);
        EXPECT_TRUE(dlg.m_bDestSet && dlg.m_bDestDrawn);

        // A new start: the old square shows the map again, the new dot is
        // drawn, the route is recomputed from the new start.
        Send(dlg, Pointer::Left, c.x, c.y);
        s = dlg.GetSurfaceImage();
        EXPECT_EQ(Differences(s, picture, Square(a)), 0) << "old start square restored";
        ExpectDot(s, c, kYellow, "new start");
        r = RouteBetween(c, b);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                expected.setPixel(a.x - 4 + x, a.y - 4 + y, picture.pixel(a.x - 4 + x, a.y - 4 + y));
                expected.setPixel(c.x - 4 + x, c.y - 4 + y, s.pixel(c.x - 4 + x, c.y - 4 + y));
            }
        DrawReadout(expected, font, kStartBox, PositionText(c.x, c.y));
        DrawReadout(expected, font, kCourseBox, geometry::FormatCourse(r.course));
        DrawReadout(expected, font, kDistanceBox, geometry::FormatDistance(r.distance));
        EXPECT_EQ(Differences(s, expected), 0);
        EXPECT_EQ(dlg.m_ptStartMarker, c);

        // A click on the same pixel, and one 3 pixels away, leave a whole dot.
        Send(dlg, Pointer::Left, a.x, a.y);
        Send(dlg, Pointer::Left, a.x, a.y);
        s = dlg.GetSurfaceImage();
        EXPECT_EQ(Differences(s.copy(Square(a)), yellowDot, QRect(0, 0, 8, 8)), 0) << "same pixel";
        EXPECT_EQ(Differences(s, picture, Square(c)), 0);
        const CPoint near{a.x + 3, a.y - 2};
        Send(dlg, Pointer::Left, near.x, near.y);
        s = dlg.GetSurfaceImage();
        ExpectDot(s, near, kYellow, "near the old one");
        EXPECT_EQ(s.pixel(a.x - 4, a.y), picture.pixel(a.x - 4, a.y)) << "old dot's outline gone";
        // The same for the destination.
        Send(dlg, Pointer::Right, b.x, b.y);
        s = dlg.GetSurfaceImage();
        ExpectDot(s, b, kRed, "destination again");
    });
}

// One end stays while the other moves away from a square that overlapped
// it: restoring the old square must not eat into the staying marker.
struct MovedMarkerCase {
    const char* name;
    Pointer staying;
    CPoint stay, from, to;
};
class MovedMarker : public PointerTest, public testing::WithParamInterface<MovedMarkerCase> {};

TEST_P(MovedMarker, TheStayingMarkerStaysWhole) {
    const MovedMarkerCase& c = GetParam();
    const Pointer moving = c.staying == Pointer::Right ? Pointer::Left : Pointer::Right;
    const QRgb stayFill = c.staying == Pointer::Right ? kRed : kYellow;
    const QRgb moveFill = c.staying == Pointer::Right ? kYellow : kRed;
    // The markers drawn on their own: a circle in the marker's 8 x 8 square,
    // aliased, outlined in black.
    QImage expected = picture;
    {
        QPainter painter(&expected);
        painter.setPen(QPen(Qt::black, 1));
        for (const auto& [p, fill] : {std::pair{c.stay, stayFill}, std::pair{c.to, moveFill}}) {
            painter.setBrush(QColor(fill));
            painter.drawEllipse(QRect(p.x - 4, p.y - 4, 7, 7));
        }
    }
    CDexlinDlg dlg;
    WithDialog(dlg, [&] {
        Send(dlg, c.staying, c.stay.x, c.stay.y);
        Send(dlg, moving, c.from.x, c.from.y);
        Send(dlg, moving, c.to.x, c.to.y);
        const QImage s = dlg.GetSurfaceImage();
        EXPECT_EQ(Differences(s, expected, QRect(0, 0, 635, 379)), 0) << "the map: the two markers on the picture";
        EXPECT_TRUE(dlg.m_bStartSet && dlg.m_bDestSet && dlg.m_bStartDrawn && dlg.m_bDestDrawn);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Overlaps, MovedMarker,
    testing::Values(MovedMarkerCase{"start_leaves_the_destination", Pointer::Right, {300, 150}, {303, 152}, {400, 200}},
                    MovedMarkerCase{"destination_leaves_the_start", Pointer::Left, {300, 150}, {297, 148}, {100, 300}},
                    MovedMarkerCase{"squares_share_one_column", Pointer::Right, {300, 150}, {307, 150}, {400, 200}},
                    MovedMarkerCase{"one_column_apart", Pointer::Right, {300, 150}, {308, 150}, {400, 200}},
                    MovedMarkerCase{"squares_share_one_row", Pointer::Left, {300, 150}, {300, 143}, {400, 200}},
                    MovedMarkerCase{"moves_onto_it_again", Pointer::Right, {300, 150}, {303, 152}, {298, 149}},
                    MovedMarkerCase{"at_the_maps_corner", Pointer::Left, {0, 0}, {2, 1}, {300, 200}}),
    [](const testing::TestParamInfo<MovedMarkerCase>& info) { return std::string(info.param.name); });

// A shorter text after a longer one leaves no piece of the longer: the
// blanks reach as far as the widest text of their box.
TEST_F(PointerTest, ShorterTextsLeaveNothingOfLongerOnes) {
    CDexlinDlg dlg;
    WithDialog(dlg, [&] {
        const platform::CFont& font = *dlg.m_pReadoutFont;
        // Antipodes on the equator: "10800", then a route of a few miles.
        Send(dlg, Pointer::Left, 0, 246);
        Send(dlg, Pointer::Right, 317, 246);
        Send(dlg, Pointer::Right, 2, 246);
        // West positions and variation, then east ones.
        Send(dlg, Pointer::Move, 30, 20);
        Send(dlg, Pointer::Move, 600, 300);
        Send(dlg, Pointer::Left, 600, 300);
        QImage expected = picture;
        const Route r = RouteBetween({600, 300}, {2, 246});
        DrawReadout(expected, font, kCursorBox, PositionText(600, 300));
        const model::MagneticElements e = ElementsAt(600, 300, dlg.m_dModelYear);
        const bool west = e.declinationDegrees < 0 || (e.declinationDegrees == 0 && e.declinationMinutes < 0.0);
        DrawReadout(expected, font, kVariationBox,
                    VariationText(e.declinationDegrees, e.declinationMinutes, west ? 'W' : 'E'));
        DrawReadout(expected, font, kStartBox, PositionText(600, 300));
        DrawReadout(expected, font, kDestBox, PositionText(2, 246));
        DrawReadout(expected, font, kCourseBox, geometry::FormatCourse(r.course));
        DrawReadout(expected, font, kDistanceBox, geometry::FormatDistance(r.distance));
        EXPECT_EQ(Differences(dlg.GetSurfaceImage(), expected, QRect(0, 384, 637, 69)), 0);
    });
}

// The readouts' formats at their edges from real clicks: pixel pairs are found
// whose route gives each edge's text. Exact values such as 359.6 or a
// declination of exactly -0.5 are not reachable from the pixel grid; the text
// helpers' own tests (FormatCourse, FormatDistance, FormatVariation) cover them.
struct RouteEdge {
    const char* name;
    std::function<bool(const Route&)> wanted;
    const char* course;    // expected course text, or nullptr when not checked
    const char* distance;  // expected distance text, or nullptr
};

TEST_F(PointerTest, CourseAndDistanceTextsAtTheirEdges) {
    const std::vector<RouteEdge> edges{
        {"course just under 360", [](const Route& r) { return r.course >= 359.5 && r.course < 360.0; }, "360\xB0",
         nullptr},
        {"course just over 0", [](const Route& r) { return r.course > 0.0 && r.course < 0.5; }, "000\xB0", nullptr},
        {"course near 45", [](const Route& r) { return r.course >= 45.0 && r.course < 45.5; }, "045\xB0", nullptr},
        {"distance near 123", [](const Route& r) { return r.distance >= 123.0 && r.distance < 123.5; }, nullptr,
         " 123"},
        {"antipodes", [](const Route& r) { return r.distance >= 10799.5; }, nullptr, "10800"},
    };
    std::vector<double> latOfRow(379), lonOfColumn(635);
    for (int i = 0; i <= 634; ++i) {
        double lat = 0.0;
        std::string text;
        geometry::PixelToGeographic(geometry::kWorldMap, i, std::min(i, 378), lat, lonOfColumn[i], text);
        if (i <= 378) latOfRow[i] = lat;
    }
    CDexlinDlg dlg;
    WithDialog(dlg, [&] {
        const platform::CFont& font = *dlg.m_pReadoutFont;
        for (const RouteEdge& edge : edges) {
            // Routes depend on the columns' difference only: starts in column
            // 0, on the equator row first, then on every row down from the top.
            std::optional<std::pair<CPoint, CPoint>> found;
            for (int sy = -1; sy <= 378 && !found; ++sy) {
                const int row = sy < 0 ? 246 : sy;
                for (int dy = 0; dy <= 378 && !found; ++dy)
                    for (int dx = 0; dx <= 634 && !found; ++dx) {
                        Route r;
                        geometry::GreatCircleCourseDistance(latOfRow[row], lonOfColumn[0], latOfRow[dy],
                                                            lonOfColumn[dx], r.course, r.distance);
                        if (edge.wanted(r)) found = {{0, row}, {dx, dy}};
                    }
            }
            ASSERT_TRUE(found.has_value()) << edge.name;
            const auto [start, dest] = *found;
            Send(dlg, Pointer::Left, start.x, start.y);
            Send(dlg, Pointer::Right, dest.x, dest.y);
            const QImage s = dlg.GetSurfaceImage();
            const Route r = RouteBetween(start, dest);
            QImage expected = s;
            DrawReadout(expected, font, kCourseBox, edge.course ? edge.course : geometry::FormatCourse(r.course));
            DrawReadout(expected, font, kDistanceBox,
                        edge.distance ? edge.distance : geometry::FormatDistance(r.distance));
            EXPECT_EQ(Differences(s, expected, QRect(355, 409, 100, 41)), 0) << edge.name;
        }
    });
}

// The variation readout's cases from real moves: points whose declination
// has the wanted whole degrees and minutes.
struct DeclinationEdge {
    const char* name;
    std::function<bool(const model::MagneticElements&)> wanted;
    char letter;
};

TEST_F(PointerTest, VariationTextsFromRealMoves) {
    const std::vector<DeclinationEdge> edges{
        {"west under one degree", [](const auto& e) { return e.declinationDegrees == 0 && e.declinationMinutes < 0; },
         'W'},
        {"east under one degree", [](const auto& e) { return e.declinationDegrees == 0 && e.declinationMinutes > 0; },
         'E'},
        {"west by degrees", [](const auto& e) { return e.declinationDegrees <= -10; }, 'W'},
        {"east by degrees", [](const auto& e) { return e.declinationDegrees >= 10; }, 'E'},
        {"minutes shown as 60.0",
         [](const auto& e) { return e.declinationDegrees > 0 && e.declinationMinutes >= 59.95; }, 'E'},
    };
    CDexlinDlg dlg;
    WithDialog(dlg, [&] {
        for (const DeclinationEdge& edge : edges) {
            std::optional<CPoint> found;
            model::MagneticElements e{};
            for (int y = 0; y <= 378 && !found; y += 3)
                for (int x = 0; x <= 634 && !found; ++x)
                    if (e = ElementsAt(x, y, dlg.m_dModelYear); edge.wanted(e)) found = CPoint{x, y};
            ASSERT_TRUE(found.has_value()) << edge.name;
            Send(dlg, Pointer::Move, found->x, found->y);
            const QImage s = dlg.GetSurfaceImage();
            QImage expected = s;
            const std::string text = VariationText(e.declinationDegrees, e.declinationMinutes, edge.letter);
            DrawReadout(expected, *dlg.m_pReadoutFont, kVariationBox, text);
            EXPECT_EQ(Differences(s, expected, QRect(355, 386, 180, 18)), 0) << edge.name << ": " << text;
            if (e.declinationMinutes >= 59.95) {
                EXPECT_NE(text.find("60.0'"), std::string::npos) << edge.name;
            }
        }
    });
}

// Thousands of random moves and clicks over and off the map leave the state
// of the last in-map click of each button.
TEST_F(PointerTest, EventStormEndsInTheLastClicksState) {
    ProbeDlg dlg;
    WithDialog(dlg, [&] {
        std::mt19937 random(19970615u);
        std::uniform_int_distribution<int> kind(0, 2), x(-40, 680), y(-40, 470);
        std::optional<CPoint> lastLeft, lastRight, lastMove;
        bool leftLast = false;  // the later of the two last clicks was a left one
        // Squares of the other button's clicks since each button's last click:
        // drawing and restoring them may cut into that button's dot.
        std::vector<CPoint> rightsSinceLeft, leftsSinceRight;
        int inMap = 0;
        dlg.defaulted.clear();
        for (int i = 0; i < 4000; ++i) {
            const Pointer k = static_cast<Pointer>(kind(random));
            const CPoint p{x(random), y(random)};
            Send(dlg, k, p.x, p.y);
            if (!geometry::IsInsideMap(geometry::kWorldMap, p.x, p.y)) continue;
            ++inMap;
            if (k == Pointer::Left) {
                lastLeft = p, leftLast = true;
                rightsSinceLeft.clear();
                leftsSinceRight.push_back(p);
            }
            if (k == Pointer::Right) {
                lastRight = p, leftLast = false;
                leftsSinceRight.clear();
                rightsSinceLeft.push_back(p);
            }
            if (k == Pointer::Move) lastMove = p;
        }
        ASSERT_TRUE(lastLeft && lastRight && lastMove);
        const auto pointerMessages = std::count_if(dlg.defaulted.begin(), dlg.defaulted.end(), [](UINT m) {
            return m == platform::WM_MOUSEMOVE || m == platform::WM_LBUTTONDOWN || m == platform::WM_RBUTTONDOWN;
        });
        EXPECT_EQ(pointerMessages, inMap) << "every in-map event passed on, no other";

        double lat = 0.0, lon = 0.0;
        std::string text;
        geometry::PixelToGeographic(geometry::kWorldMap, lastLeft->x, lastLeft->y, lat, lon, text);
        EXPECT_EQ(dlg.m_dStartLat, lat);
        EXPECT_EQ(dlg.m_dStartLon, lon);
        geometry::PixelToGeographic(geometry::kWorldMap, lastRight->x, lastRight->y, lat, lon, text);
        EXPECT_EQ(dlg.m_dDestLat, lat);
        EXPECT_EQ(dlg.m_dDestLon, lon);
        EXPECT_EQ(dlg.m_ptStartMarker, *lastLeft);
        EXPECT_EQ(dlg.m_ptDestMarker, *lastRight);
        EXPECT_TRUE(dlg.m_bStartSet && dlg.m_bDestSet && dlg.m_bStartDrawn && dlg.m_bDestDrawn);

        const QImage s = dlg.GetSurfaceImage();
        // The later dot is whole; the earlier one too unless a later click of
        // the other button reached its square.
        ExpectDotInside(s, leftLast ? *lastLeft : *lastRight, leftLast ? kYellow : kRed, "last dot");
        const CPoint earlier = leftLast ? *lastRight : *lastLeft;
        const std::vector<CPoint>& since = leftLast ? leftsSinceRight : rightsSinceLeft;
        if (std::none_of(since.begin(), since.end(), [&](CPoint q) { return Square(q).intersects(Square(earlier)); }))
            ExpectDotInside(s, earlier, leftLast ? kRed : kYellow, "earlier dot");

        // Older dots are gone: outside the two last squares the map is the picture.
        QImage expected = picture;
        for (const CPoint& p : {*lastLeft, *lastRight})
            for (int dy = 0; dy < 8; ++dy)
                for (int dx = 0; dx < 8; ++dx)
                    if (kClient.contains(p.x - 4 + dx, p.y - 4 + dy))
                        expected.setPixel(p.x - 4 + dx, p.y - 4 + dy, s.pixel(p.x - 4 + dx, p.y - 4 + dy));
        const platform::CFont& font = *dlg.m_pReadoutFont;
        const Route r = RouteBetween(*lastLeft, *lastRight);
        const model::MagneticElements e = ElementsAt(lastMove->x, lastMove->y, dlg.m_dModelYear);
        const bool west = e.declinationDegrees < 0 || (e.declinationDegrees == 0 && e.declinationMinutes < 0.0);
        DrawReadout(expected, font, kCursorBox, PositionText(lastMove->x, lastMove->y));
        DrawReadout(expected, font, kVariationBox,
                    VariationText(e.declinationDegrees, e.declinationMinutes, west ? 'W' : 'E'));
        DrawReadout(expected, font, kStartBox, PositionText(lastLeft->x, lastLeft->y));
        DrawReadout(expected, font, kDestBox, PositionText(lastRight->x, lastRight->y));
        DrawReadout(expected, font, kCourseBox, geometry::FormatCourse(r.course));
        DrawReadout(expected, font, kDistanceBox, geometry::FormatDistance(r.distance));
        EXPECT_EQ(Differences(s, expected), 0) << "the two last dots and all six readouts on the picture";
    });
}

// What assistive technology reads: the map as a named graphic, the six
// readouts as named texts that are their boxes' texts (degree sign U+00B0,
// empty while blank). (Their announcements need a live accessibility bus,
// which the offscreen platform has not; the end-to-end run listens to them.)
TEST_F(PointerTest, AssistiveTechnologyReadsTheMapAndEveryReadout) {
    auto unicode = [](const std::string& latin1) {
        return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())).trimmed();
    };
    CDexlinDlg dlg;
    WithDialog(dlg, [&] {
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(dlg.GetWindow());
        ASSERT_NE(window, nullptr);
        auto named = [&](const char* name) -> QAccessibleInterface* {
            for (int i = 0; i < window->childCount(); ++i)
                if (window->child(i)->text(QAccessible::Name) == QLatin1String(name)) return window->child(i);
            return nullptr;
        };
        auto textOf = [&](const char* name) {
            QAccessibleInterface* box = named(name);
            return box != nullptr && box->textInterface() != nullptr ? box->textInterface()->text(0, -1)
                                                                     : QStringLiteral("<no text>");
        };
        QAccessibleInterface* map = named("World map");
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->role(), QAccessible::Graphic);
        EXPECT_TRUE(map->text(QAccessible::Description).contains("arrow keys"));
        EXPECT_TRUE(map->state().focusable);
        EXPECT_EQ(map->rect().size(), QSize(635, 379)) << "the map's columns 0 to 634 and rows 0 to 378";
        for (const char* name : {"Cursor position", "Mag. Variation", "Start position", "Destination",
                                 "Great circle bearing", "Distance"}) {
            ASSERT_NE(named(name), nullptr) << name;
            EXPECT_EQ(named(name)->role(), QAccessible::StaticText) << name;
            EXPECT_TRUE(named(name)->state().readOnly) << name;
            EXPECT_FALSE(named(name)->state().focusable) << name << ": Tab passes the readouts by";
            EXPECT_EQ(textOf(name), QString()) << name << " is blank";
        }
        ASSERT_NE(named("(miles)"), nullptr) << "the distance's unit label";
        EXPECT_EQ(textOf("(miles)"), QStringLiteral("(miles)"));

        const CPoint a{200, 120}, b{450, 280};
        Send(dlg, Pointer::Move, a.x, a.y);
        const model::MagneticElements e = ElementsAt(a.x, a.y, dlg.m_dModelYear);
        const bool west = e.declinationDegrees < 0 || (e.declinationDegrees == 0 && e.declinationMinutes < 0.0);
        EXPECT_EQ(textOf("Cursor position"), unicode(PositionText(a.x, a.y)));
        EXPECT_TRUE(textOf("Cursor position").contains(QChar(0x00B0)));
        EXPECT_EQ(textOf("Mag. Variation"),
                  unicode(VariationText(e.declinationDegrees, e.declinationMinutes, west ? 'W' : 'E')));
        EXPECT_EQ(textOf("Start position"), QString()) << "a move writes no start";
        Send(dlg, Pointer::Left, a.x, a.y);
        EXPECT_EQ(textOf("Great circle bearing"), QString()) << "no course with one end";
        Send(dlg, Pointer::Right, b.x, b.y);
        const Route r = RouteBetween(a, b);
        EXPECT_EQ(textOf("Start position"), unicode(PositionText(a.x, a.y)));
        EXPECT_EQ(textOf("Destination"), unicode(PositionText(b.x, b.y)));
        EXPECT_EQ(textOf("Great circle bearing"), unicode(geometry::FormatCourse(r.course)));
        EXPECT_EQ(textOf("Distance"), unicode(geometry::FormatDistance(r.distance)));
        // A move off the map changes nothing, here as on the screen.
        Send(dlg, Pointer::Move, a.x, 400);
        EXPECT_EQ(textOf("Cursor position"), unicode(PositionText(a.x, a.y)));
    });
}

// The keyboard on the focused map: each row's keys must leave the same
// surface, state and passed-on messages as the pointer's events at the
// points listed; the keyboard's point starts at the map's centre (317, 189)
// and stops at its edges, which are on the map (row 379, column 635 are not).
struct KeyStroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
struct PointerEvent {
    Pointer kind;
    int x, y;
};
struct KeyCase {
    const char* name;
    std::vector<KeyStroke> keys;
    std::vector<PointerEvent> pointer;
};

std::vector<KeyStroke> Times(int n, KeyStroke k) { return std::vector<KeyStroke>(static_cast<std::size_t>(n), k); }
template <class T>
std::vector<T> Joined(std::initializer_list<std::vector<T>> parts) {
    std::vector<T> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}
// Moves from the centre in steps of ten along one axis.
std::vector<PointerEvent> Steps(int n, int dx, int dy) {
    std::vector<PointerEvent> moves;
    for (int i = 1; i <= n; ++i) moves.push_back({Pointer::Move, 317 + i * dx, 189 + i * dy});
    return moves;
}

TEST_F(PointerTest, KeysOnTheMapDoWhatThePointerDoesAtTheKeyboardsPoint) {
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const std::vector<KeyCase> cases{
        {"arrows move one pixel from the centre",
         {{Qt::Key_Right}, {Qt::Key_Right}, {Qt::Key_Down}, {Qt::Key_Left}, {Qt::Key_Up}, {Qt::Key_Up}},
         {{Pointer::Move, 318, 189},
          {Pointer::Move, 319, 189},
          {Pointer::Move, 319, 190},
          {Pointer::Move, 318, 190},
          {Pointer::Move, 318, 189},
          {Pointer::Move, 318, 188}}},
        {"shift arrows move ten",
         {{Qt::Key_Right, shift}, {Qt::Key_Down, shift}, {Qt::Key_Left, shift}, {Qt::Key_Up, shift}},
         {{Pointer::Move, 327, 189}, {Pointer::Move, 327, 199}, {Pointer::Move, 317, 199}, {Pointer::Move, 317, 189}}},
        {"top edge is row 0", Joined<KeyStroke>({Times(19, {Qt::Key_Up, shift}), {{Qt::Key_Up}}}),
         Joined<PointerEvent>({Steps(18, 0, -10), {{Pointer::Move, 317, 0}, {Pointer::Move, 317, 0}}})},
        {"bottom edge is row 378", Joined<KeyStroke>({Times(19, {Qt::Key_Down, shift}), {{Qt::Key_Down}}}),
         Joined<PointerEvent>({Steps(18, 0, 10), {{Pointer::Move, 317, 378}, {Pointer::Move, 317, 378}}})},
        {"left edge is column 0", Joined<KeyStroke>({Times(32, {Qt::Key_Left, shift}), {{Qt::Key_Left}}}),
         Joined<PointerEvent>({Steps(31, -10, 0), {{Pointer::Move, 0, 189}, {Pointer::Move, 0, 189}}})},
        {"right edge is column 634", Joined<KeyStroke>({Times(32, {Qt::Key_Right, shift}), {{Qt::Key_Right}}}),
         Joined<PointerEvent>({Steps(31, 10, 0), {{Pointer::Move, 634, 189}, {Pointer::Move, 634, 189}}})},
        {"home goes back to the centre",
         {{Qt::Key_Right, shift}, {Qt::Key_Down}, {Qt::Key_Home}},
         {{Pointer::Move, 327, 189}, {Pointer::Move, 327, 190}, {Pointer::Move, 317, 189}}},
        {"space and S choose the start, D and shift space the destination",
         {{Qt::Key_Right},
          {Qt::Key_Space},
          {Qt::Key_Down, shift},
          {Qt::Key_D},
          {Qt::Key_Left},
          {Qt::Key_Space, shift},
          {Qt::Key_S},
          {Qt::Key_D, shift}},
         {{Pointer::Move, 318, 189},
          {Pointer::Left, 318, 189},
          {Pointer::Move, 318, 199},
          {Pointer::Right, 318, 199},
          {Pointer::Move, 317, 199},
          {Pointer::Right, 317, 199},
          {Pointer::Left, 317, 199},
          {Pointer::Right, 317, 199}}},
        {"keypad arrows move as the arrows do",
         {{Qt::Key_Right, Qt::KeypadModifier}, {Qt::Key_Down, Qt::KeypadModifier | Qt::ShiftModifier}},
         {{Pointer::Move, 318, 189}, {Pointer::Move, 318, 199}}},
        {"keys with Ctrl or Alt and other letters do nothing",
         {{Qt::Key_S, Qt::ControlModifier},
          {Qt::Key_D, Qt::AltModifier},
          {Qt::Key_Right, Qt::ControlModifier},
          {Qt::Key_X}},
         {}},
    };
    for (const KeyCase& c : cases) {
        ProbeDlg byPointer;
        QImage expected;
        WithDialog(byPointer, [&] {
            Send(byPointer, Pointer::Move, 317, 189);  // the map taking the focus shows its point
            for (const PointerEvent& e : c.pointer) Send(byPointer, e.kind, e.x, e.y);
            expected = byPointer.GetSurfaceImage();
        });
        ProbeDlg byKeys;
        WithDialog(byKeys, [&] {
            QWidget* map = byKeys.GetRegion(CDexlinDlg::kMapRegion);
            ASSERT_NE(map, nullptr);
            map->setFocus(Qt::TabFocusReason);
            ASSERT_TRUE(map->hasFocus()) << c.name;
            QCoreApplication::processEvents();
            for (const KeyStroke& k : c.keys) QTest::keyClick(QApplication::focusWidget(), k.key, k.modifiers);
            EXPECT_EQ(Differences(byKeys.GetSurfaceImage(), expected), 0) << c.name;
        });
        EXPECT_TRUE(StateOf(byKeys) == StateOf(byPointer)) << c.name;
        EXPECT_EQ(byKeys.defaulted, byPointer.defaulted) << c.name;
        if (!c.pointer.empty()) {
            EXPECT_EQ(byKeys.m_ptKeyboard, (CPoint{c.pointer.back().x, c.pointer.back().y})) << c.name;
        }
    }
}

// Tab reaches the map after the buttons; focused, it shows its frame and the
// keyboard's point on the screen only (the lasting surface stays the
// picture); unfocused, the screen is the surface. Escape still ends the dialog.
TEST_F(PointerTest, TabReachesTheMapWhichShowsItsPointOnlyWhileFocused) {
    CDexlinDlg dlg;
    int result = 0;
    result = RunModal(dlg, [&] {
        dlg.UpdateWindow();
        QWidget* window = dlg.GetWindow();
        QWidget* map = dlg.GetRegion(CDexlinDlg::kMapRegion);
        ASSERT_NE(map, nullptr);
        auto screen = [&] { return window->grab().toImage().convertToFormat(QImage::Format_RGB32); };
        const QRect mapArea(0, 0, 635, 379);
        ASSERT_NE(QApplication::focusWidget(), map) << "a button has the focus first";
        EXPECT_EQ(Differences(screen(), picture, mapArea), 0) << "unfocused: the map as painted";

        int tabs = 0;
        while (QApplication::focusWidget() != map && tabs < 4) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ++tabs;
        }
        ASSERT_EQ(QApplication::focusWidget(), map) << "Tab reaches the map";
        QCoreApplication::processEvents();
        EXPECT_EQ(dlg.GetRegion(2)->Text().toStdString(),
                  QString::fromLatin1(PositionText(317, 189)).trimmed().toStdString())
            << "the cursor box shows the keyboard's point at once";
        const QImage focused = screen();
        EXPECT_GT(Differences(focused, picture, QRect(307, 179, 21, 21)), 0) << "the point's cross at the centre";
        EXPECT_EQ(focused.pixel(317, 189), picture.pixel(317, 189)) << "the point itself left clear";
        EXPECT_EQ(Differences(dlg.GetSurfaceImage(), picture, mapArea), 0) << "nothing of it in the lasting surface";

        // A destination chosen at the point: its red dot whole on the screen beside the cross.
        QTest::keyClick(map, Qt::Key_D);
        const QImage chosen = screen();
        const QRect dot(313, 185, 9, 9);
        EXPECT_GT(Differences(dlg.GetSurfaceImage(), picture, dot), 0) << "the red dot is drawn";
        EXPECT_EQ(Differences(chosen, dlg.GetSurfaceImage(), dot), 0) << "the cross leaves the red dot whole";
        EXPECT_GT(Differences(chosen, dlg.GetSurfaceImage(), QRect(297, 169, 41, 41)), 0) << "the cross still shows";

        QTest::keyClick(map, Qt::Key_Right, Qt::ShiftModifier);
        EXPECT_GT(Differences(screen(), picture, QRect(317, 179, 21, 21)), 0) << "the cross follows the point";

        QTest::keyClick(map, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), map) << "Tab leaves the map again";
        EXPECT_NE(qobject_cast<QPushButton*>(QApplication::focusWidget()), nullptr)
            << "for a button, past the readouts";
        const QImage after = screen();
        EXPECT_EQ(Differences(after, dlg.GetSurfaceImage(), mapArea), 0) << "unfocused: the screen is the surface";

        map->setFocus(Qt::TabFocusReason);
        QTest::keyClick(map, Qt::Key_Escape);
    });
    EXPECT_EQ(result, platform::IDCANCEL) << "Escape on the map ends the dialog";
}

// What a screen reader speaks of the focused map: each row's keys and the
// notifications shown for them (in order), with the names and the unit; a
// key that leaves the point in place is still answered, a pointer move over
// the same text is not, and nothing is said while the map has no focus.
class ListenedDlg : public CDexlinDlg {
public:
    std::vector<QString> heard;
    void SetRegionStatus(int nId, const std::string& text) override {
        CDexlinDlg::SetRegionStatus(nId, text);
        if (nId == kMapRegion) heard.push_back(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
};

TEST_F(PointerTest, AListenerHearsThePointTheEndsTheCourseAndTheDistance) {
    const auto said = [](const std::string& latin1) {
        return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())).simplified();
    };
    const auto variation = [&](int x, int y) {
        const model::MagneticElements e = ElementsAt(x, y, model::ModelYear(1997, 6, 15));
        const bool west = e.declinationDegrees < 0 || (e.declinationDegrees == 0 && e.declinationMinutes < 0.0);
        return said(PositionText(x, y)) + ", variation " +
               said(VariationText(e.declinationDegrees, e.declinationMinutes, west ? 'W' : 'E'));
    };
    const Route route = RouteBetween({318, 189}, {318, 199});
    struct Row {
        const char* name;
        std::function<void(CDexlinDlg&, QWidget*)> act;
        std::vector<QString> heard;
    };
    const std::vector<Row> rows = {
        {"taking the focus says the keyboard's point", [](CDexlinDlg&, QWidget*) {}, {variation(317, 189)}},
        {"an arrow says the new point",
         [](CDexlinDlg&, QWidget* map) { QTest::keyClick(map, Qt::Key_Right); },
         {variation(317, 189), variation(318, 189)}},
        {"Home at the centre says it again",
         [](CDexlinDlg&, QWidget* map) { QTest::keyClick(map, Qt::Key_Home); },
         {variation(317, 189), variation(317, 189)}},
        {"S says the start, D the destination with course and distance",
         [](CDexlinDlg&, QWidget* map) {
             for (const auto& [key, modifiers] : std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
                      {Qt::Key_Right, {}}, {Qt::Key_S, {}}, {Qt::Key_Down, Qt::ShiftModifier}, {Qt::Key_D, {}}})
                 QTest::keyClick(map, key, modifiers);
         },
         {variation(317, 189), variation(318, 189), "start " + said(PositionText(318, 189)), variation(318, 199),
          "destination " + said(PositionText(318, 199)) + ", course " + said(geometry::FormatCourse(route.course)) +
              ", distance " + said(geometry::FormatDistance(route.distance)) + " nautical miles"}},
        {"the pointer twice on one pixel is heard once",
         [](CDexlinDlg& dlg, QWidget*) {
             Send(dlg, Pointer::Move, 100, 100);
             Send(dlg, Pointer::Move, 100, 100);
         },
         {variation(317, 189), variation(100, 100)}},
        {"with the focus on About, the pointer says nothing",
         [](CDexlinDlg& dlg, QWidget*) {
             dlg.GetDlgItem(IDC_ABOUT)->setFocus();
             Send(dlg, Pointer::Move, 100, 100);
         },
         {variation(317, 189)}},
    };
    for (const Row& row : rows) {
        ListenedDlg dlg;
        WithDialog(dlg, [&] {
            QWidget* map = dlg.GetRegion(CDexlinDlg::kMapRegion);
            ASSERT_NE(map, nullptr);
            map->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            row.act(dlg, map);
            EXPECT_EQ(QStringList(dlg.heard.begin(), dlg.heard.end()).join(" | ").toStdString(),
                      QStringList(row.heard.begin(), row.heard.end()).join(" | ").toStdString())
                << row.name;
            // What a screen reader is told: a notification named by the last status.
            int notices = 0;
            for (QWidget* child : map->findChildren<QWidget*>()) {
                QAccessibleInterface* notice = QAccessible::queryAccessibleInterface(child);
                if (notice == nullptr || notice->role() != QAccessible::Notification) continue;
                EXPECT_EQ(notice->text(QAccessible::Name), dlg.heard.back()) << row.name;
                ++notices;
            }
            EXPECT_EQ(notices, 1) << row.name;
        });
    }
}

// WCAG's relative luminance and contrast ratio of two colours.
double Luminance(QRgb c) {
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}
double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The focused map's frame, measured on a grab all round the map (its edges
// cross sea, land and graticule lines): within every 8 pixels along it, one
// of the frame's colours stands at least 3:1 against the map next to it.
TEST_F(PointerTest, TheFocusFrameStandsOutOnEveryPartOfTheMap) {
    CDexlinDlg dlg;
    WithDialog(dlg, [&] {
        QWidget* map = dlg.GetRegion(CDexlinDlg::kMapRegion);
        ASSERT_NE(map, nullptr);
        map->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        const QImage grab = dlg.GetWindow()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect m(0, 0, 635, 379);  // the map's pixels; the frame is its outer two rings
        struct Edge {
            QPoint from, step, inward;
            int length;
        };
        const Edge edges[] = {{m.topLeft(), {1, 0}, {0, 1}, m.width()},
                              {m.bottomLeft(), {1, 0}, {0, -1}, m.width()},
                              {m.topLeft(), {0, 1}, {1, 0}, m.height()},
                              {m.topRight(), {0, 1}, {-1, 0}, m.height()}};
        int measured = 0;
        for (const Edge& e : edges) {
            for (int start = 0; start + 8 <= e.length; start += 8) {
                double best = 0.0;
                for (int i = start; i < start + 8; ++i) {
                    const QPoint p = e.from + e.step * i;
                    const QRgb beside = picture.pixel(p + e.inward * 2);  // the map just inside the frame
                    for (int ring = 0; ring < 2; ++ring)
                        best = std::max(best, Contrast(grab.pixel(p + e.inward * ring), beside));
                }
                EXPECT_GE(best, 3.0) << "frame at " << (e.from + e.step * start).x() << ","
                                     << (e.from + e.step * start).y();
                ++measured;
            }
        }
        EXPECT_GT(measured, 250);
    });
}
