#include "platform/Help.h"

#include <QApplication>

#include "platform/HelpViewer.h"

namespace platform {

namespace {

HelpEngine& Engine() {
    static HelpEngine engine;
    return engine;
}

// The built-in engine: the help viewer, which needs the window system.
BOOL ShowInViewer(QWidget* pOwner, const std::string& helpFile, UINT nCommand, std::uintptr_t dwData) {
    if (nCommand != HELP_CONTEXT || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return FALSE;
    HelpViewer::ForOwner(pOwner)->ShowTopic(QString::fromStdString(helpFile), static_cast<unsigned long>(dwData));
    return TRUE;
}

}  // namespace

BOOL WinHelp(QWidget* pOwner, const std::string& helpFile, UINT nCommand, std::uintptr_t dwData) {
    const HelpEngine& engine = Engine();
    return engine ? engine(pOwner, helpFile, nCommand, dwData) : ShowInViewer(pOwner, helpFile, nCommand, dwData);
}

HelpEngine SetHelpEngine(HelpEngine engine) { return std::exchange(Engine(), std::move(engine)); }

}  // namespace platform
