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

std::string g_programName;

// The platform plugin that Qt could not find (QT_QPA_PLATFORM=bogus), from its
// warning 'Could not find the Qt platform plugin "bogus" in ...', or empty when
// a plugin asked for was found but could not reach its display
// (QT_QPA_PLATFORM="bogus;xcb" with no X server).
QString MissingPlatform() {
    const QString mark = QStringLiteral("Could not find the Qt platform plugin \"");
    for (const HeldMessage& held : g_held) {
        if (held.text.contains(QStringLiteral("Could not load the Qt platform plugin"))) return {};
    }
    for (const HeldMessage& held : g_held) {
        const qsizetype at = held.text.indexOf(mark);
        if (at < 0) continue;
        const qsizetype from = at + mark.size();
        const qsizetype to = held.text.indexOf(u'"', from);
        if (to > from) return held.text.mid(from, to - from);
    }
    return {};
}

void HoldStartUpMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        QString platform = MissingPlatform();
        if (platform.isEmpty()) {
            static_cast<void>(std::fputs(g_noDisplayLine.c_str(), stderr));  // nowhere else to report it
        } else {
            // A platform that is not installed is no missing display. Its name
            // is shown printable and at most 40 characters long.
            if (platform.size() > 40) platform = platform.left(40) + QStringLiteral("...");
            for (QChar& c : platform) {
                if (!c.isPrint()) c = u'?';
            }
            const std::string line = g_programName + ": cannot open a display: the platform \"" +
                                     platform.toStdString() + "\" could not be loaded (check QT_QPA_PLATFORM)\n";
            static_cast<void>(std::fputs(line.c_str(), stderr));
        }
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
    g_programName = ProgramName(argc, argv);
    g_noDisplayLine = g_programName +
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
