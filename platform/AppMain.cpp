#include "platform/AppMain.h"

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/WinApp.h"

namespace platform {

namespace {

// Qt's messages while the application object is made: when no display can be
// reached, Qt reports it in several warnings and then stops the process with
// a fatal message (abort, status 134). The messages are held; a fatal one
// becomes one line and exit status 1, and on success the held ones go out.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> g_held;
std::string g_noDisplayLine;

void HoldStartUpMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        static_cast<void>(std::fputs(g_noDisplayLine.c_str(), stderr));  // nowhere else to report it
        std::_Exit(kExitNoDisplayStatus);
    }
    g_held.push_back({type, QByteArray(context.category != nullptr ? context.category : "default"), text});
}

std::string ProgramName(int argc, char** argv) {
    const std::string path = argc > 0 && argv[0] != nullptr ? argv[0] : "";
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? "program" : name;
}

}  // namespace

int RunApplication(int argc, char** argv, const ResourceSet& resources) {
    g_noDisplayLine = ProgramName(argc, argv) +
                      ": cannot open a display: no X11 or Wayland display could be reached "
                      "(check DISPLAY or WAYLAND_DISPLAY)\n";
    const QtMessageHandler previous = qInstallMessageHandler(HoldStartUpMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(previous);
    for (const HeldMessage& held : g_held) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        qt_message_output(held.type, context, held.text);
    }
    g_held.clear();

    SetResources(resources);
    CWinApp* app = GetApp();
    if (app == nullptr) return 1;  // a program without its application object
    app->SetModulePath(QCoreApplication::applicationFilePath().toStdString());
    if (!app->InitInstance()) return 0;
    return QApplication::exec();
}

}  // namespace platform
