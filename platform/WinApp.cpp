#include "platform/WinApp.h"

#include <cassert>

#include "platform/Icon.h"

namespace platform {

namespace {
constinit CWinApp* g_app = nullptr;
constexpr const char* kHelpExtension = ".HLP";
}  // namespace

CWinApp* AfxGetApp() { return g_app; }

CWinApp::CWinApp(const char* lpszAppName)
    : m_strAppName(lpszAppName != nullptr ? lpszAppName : ""), m_bNamed(lpszAppName != nullptr) {
    assert(g_app == nullptr && "only one application object");
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

std::span<const AppCommandEntry> CWinApp::GetCommandMap() const { return {}; }

BOOL CWinApp::ServesCommand(UINT nID) const {
    for (const AppCommandEntry& entry : GetCommandMap())
        if (entry.id == nID) return TRUE;
    return FALSE;
}

BOOL CWinApp::OnCommand(UINT nID) {
    for (const AppCommandEntry& entry : GetCommandMap()) {
        if (entry.id == nID) {
            entry.invoke(*this);
            return TRUE;
        }
    }
    return FALSE;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const { return LoadIconResource(nIDResource); }

void CWinApp::SetModulePath(const std::string& modulePath) {
    if (!m_bNamed) m_strAppName = AppNameFromModulePath(modulePath);
    m_strHelpFilePath = HelpFilePathFromModulePath(modulePath);
}

namespace {
// Start of the file name and position of its extension's period (npos: none).
std::pair<std::size_t, std::size_t> SplitFileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    return {start, dot != std::string::npos && dot >= start ? dot : std::string::npos};
}
}  // namespace

std::string AppNameFromModulePath(const std::string& modulePath) {
    const auto [start, dot] = SplitFileName(modulePath);
    return modulePath.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

std::string HelpFilePathFromModulePath(const std::string& modulePath) {
    const auto [start, dot] = SplitFileName(modulePath);
    return modulePath.substr(0, dot) + kHelpExtension;
}

}  // namespace platform
