// Pointer events on the main dialog (offscreen): a move over the map from the
// event to the surface updated (projection, variation query, both readouts),
// the variation query alone at the same points, and a click that moves a
// marker and shows course and distance.
//
//   cmake --build build -j2 --target dexlin-pointer-bench && ./build/bench/pointer/dexlin-pointer-bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "app/DexlinDlg.h"
#include "geometry/MapProjection.h"
#include "model/MagneticModel.h"
#include "platform/LocalTime.h"
#include "platform/MessageBox.h"
#include "resources/DexlinResources.h"

namespace {

CDexlinDlg* g_dlg = nullptr;

// A sweep of points spread over the map, so no two events in a row repeat.
std::vector<QPoint> MapPoints() {
    std::vector<QPoint> points;
    for (int y = 3; y <= geometry::kWorldMap.bottom; y += 25)
        for (int x = 5; x <= geometry::kWorldMap.right; x += 37) points.emplace_back(x, y);
    return points;
}

void Send(QEvent::Type type, Qt::MouseButton button, QPoint p) {
    QWidget* w = g_dlg->GetWindow();
    QMouseEvent event(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void BM_PointerMove(benchmark::State& state) {
    const std::vector<QPoint> points = MapPoints();
    std::size_t i = 0;
    for (auto _ : state) Send(QEvent::MouseMove, Qt::NoButton, points[i++ % points.size()]);
}

// The same moves, each followed by the window's paint that shows the surface.
void BM_PointerMoveShown(benchmark::State& state) {
    const std::vector<QPoint> points = MapPoints();
    std::size_t i = 0;
    for (auto _ : state) {
        Send(QEvent::MouseMove, Qt::NoButton, points[i++ % points.size()]);
        QCoreApplication::processEvents();
    }
}

void BM_VariationQuery(benchmark::State& state) {
    std::vector<std::pair<double, double>> positions;
    for (const QPoint& p : MapPoints()) {
        double lat = 0.0, lon = 0.0;
        std::string text;
        geometry::PixelToGeographic(geometry::kWorldMap, p.x(), p.y(), lat, lon, text);
        positions.emplace_back(lat, lon);
    }
    model::MagneticElements elements{};
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [lat, lon] = positions[i++ % positions.size()];
        benchmark::DoNotOptimize(model::ComputeMagneticElements(lat, lon, g_dlg->m_dModelYear, elements));
    }
}

// Left and right clicks in turn once both ends are chosen: each restores its
// old marker's square, draws the new marker, its position and the route.
void BM_ClickWithRoute(benchmark::State& state) {
    const std::vector<QPoint> points = MapPoints();
    Send(QEvent::MouseButtonPress, Qt::LeftButton, points[0]);
    Send(QEvent::MouseButtonPress, Qt::RightButton, points[1]);
    std::size_t i = 2;
    for (auto _ : state) {
        Send(QEvent::MouseButtonPress, i % 2 == 0 ? Qt::LeftButton : Qt::RightButton, points[i % points.size()]);
        ++i;
    }
}

BENCHMARK(BM_PointerMove);
BENCHMARK(BM_PointerMoveShown);
BENCHMARK(BM_VariationQuery);
BENCHMARK(BM_ClickWithRoute);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    platform::SetResources(DexlinResources());
    platform::SetLocalTimeSource([] {  // a date inside the model's years
        std::tm t{};
        t.tm_year = 97;
        t.tm_mon = 5;
        t.tm_mday = 15;
        return t;
    });
    CDexlinDlg dlg;
    g_dlg = &dlg;
    QTimer::singleShot(0, [&] {
        dlg.UpdateWindow();
        benchmark::RunSpecifiedBenchmarks();
        dlg.EndDialog(platform::IDCANCEL);
    });
    dlg.DoModal();
    benchmark::Shutdown();
    return 0;
}
