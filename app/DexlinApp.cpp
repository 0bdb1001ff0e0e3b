#include "app/DexlinApp.h"

#include "app/DexlinDlg.h"

// No name: the framework takes it from the program file.
CDexlinApp::CDexlinApp() : CWinApp(nullptr) {}

CDexlinApp::~CDexlinApp() = default;

platform::BOOL CDexlinApp::InitInstance() {
    // No three-dimensional control step: Qt draws every control in the
    // platform's own look already.
    CDexlinDlg dlg(nullptr);
    m_pMainWnd = &dlg;
    dlg.DoModal();  // which key or button ended it does not matter
    // The dialog has closed: end the program without a message loop.
    return platform::FALSE;
}
