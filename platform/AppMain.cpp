#include "platform/AppMain.h"

#include <QApplication>

#include "platform/WinApp.h"

namespace platform {

int AfxWinMain(int argc, char** argv, const ResourceSet& resources) {
    QApplication application(argc, argv);
    SetResources(resources);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;  // a program without its application object
    app->SetModulePath(QCoreApplication::applicationFilePath().toStdString());
    if (!app->InitInstance()) return 0;
    return QApplication::exec();
}

}  // namespace platform
