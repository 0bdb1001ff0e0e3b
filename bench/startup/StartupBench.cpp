// Start-up to first painted frame: the main dialog against a bare Qt dialog
// of the same client size, in the same kind of process.
//
//   dexlin-startup-bench dexlin|bare
//
// Prints the milliseconds from DEXLIN_BENCH_T0_NS (CLOCK_REALTIME in ns, set
// by the launching script just before the start; main's entry when unset)
// to the end of the first paint of the top-level window, and the process's
// peak resident memory in KiB. Run it through bench/startup/run.sh.
#include <sys/resource.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/DexlinApp.h"
#include "platform/LocalTime.h"
#include "resources/DexlinResources.h"

CDexlinApp theApp;

namespace {

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Notes the end of the first paint of a top-level window, then closes it.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(long long t0) : m_t0(t0) {}
    double elapsedMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget != nullptr && widget->isWindow() && !m_seen) {
            m_seen = true;
            // Runs once the paint (and its flush to the server) is done.
            QTimer::singleShot(0, widget, [this, widget] {
                elapsedMs = static_cast<double>(NowNs() - m_t0) / 1e6;
                widget->close();
            });
        }
        return false;
    }

private:
    long long m_t0;
    bool m_seen = false;
};

}  // namespace

int main(int argc, char** argv) {
    const char* t0env = std::getenv("DEXLIN_BENCH_T0_NS");
    const long long t0 = t0env != nullptr ? std::atoll(t0env) : NowNs();
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;

    QApplication application(argc, argv);
    FirstPaint probe(t0);
    application.installEventFilter(&probe);
    if (bare) {
        QDialog dialog;
        dialog.setFixedSize(637, 453);
        dialog.setWindowTitle("bare");
        dialog.exec();
    } else {
        // Inside the model's years, so no range message holds up the start.
        platform::SetLocalTimeSource([] {
            std::tm t{};
            t.tm_year = 97;
            t.tm_mon = 5;
            t.tm_mday = 15;
            return t;
        });
        platform::SetResources(DexlinResources());
        theApp.SetModulePath(QCoreApplication::applicationFilePath().toStdString());
        theApp.InitInstance();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s %.1f ms %ld KiB\n", bare ? "bare" : "dexlin", probe.elapsedMs, usage.ru_maxrss);
    return probe.elapsedMs < 0 ? 1 : 0;
}
