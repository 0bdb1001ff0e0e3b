#include "app/DexlinApp.h"

#include "app/DexlinDlg.h"

#include "resources/resource.h"

// The help command goes to the framework's help: it shows the Help button and
// opens the help file at the main dialog's topic.
const platform::AppCommandEntry CDexlinApp::kCommandMap[] = {
    platform::AppCommand<ID_HELP, &CWinApp::OnHelp>(),
};

std::span<const platform::AppCommandEntry> CDexlinApp::GetCommandMap() const { return kCommandMap; }

// No name: the framework takes it from the program file.
CDexlinApp::CDexlinApp() : CWinApp(nullptr), m_pFieldModel(nullptr) {}

void CDexlinApp::UseFieldModel(const model::FieldModel& fieldModel) {
    if (!model::BuiltInKey(fieldModel).empty()) {
        m_pFieldModel = &fieldModel;
    } else {
        m_readModel = fieldModel;
        m_pFieldModel = &m_readModel;
    }
}

CDexlinApp::~CDexlinApp() = default;

platform::BOOL CDexlinApp::InitInstance() {
    // No three-dimensional control step: Qt draws every control in the
    // platform's own look already.
    CDexlinDlg dlg(nullptr, m_pFieldModel);
    m_pMainWnd = &dlg;
    dlg.DoModal();  // which key or button ended it does not matter
    // The dialog has closed: end the program without a message loop.
    return platform::FALSE;
}
