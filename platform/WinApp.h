// The application object. Exactly one static object of a class derived from
// CWinApp exists; it registers itself on construction and the framework's
// start-up (AfxWinMain) calls its InitInstance.
#pragma once

#include <span>
#include <string>

#include "platform/MessageMap.h"
#include "platform/Types.h"

namespace platform {

class CDialog;
class CWinApp;

// One entry of the application's command table.
struct AppCommandEntry {
    UINT id;
    void (*invoke)(CWinApp& app);
};

// Binds command Id to the application's member handler void OnXxx().
template <UINT Id, auto H>
constexpr AppCommandEntry AppCommand() {
    return {Id, [](CWinApp& app) { (static_cast<detail::ClassOf<H>&>(app).*H)(); }};
}

class CWinApp {
public:
    // A null name means: the program file name without its extension.
    explicit CWinApp(const char* lpszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns FALSE to end the program without a message loop.
    virtual BOOL InitInstance();

    // Runs the application's handler of a command; FALSE when it has none.
    BOOL OnCommand(UINT nID);
    BOOL ServesCommand(UINT nID) const;

    HICON LoadIcon(UINT nIDResource) const;

    // Names from the program's path: called by the start-up.
    void SetModulePath(const std::string& modulePath);
    const std::string& GetAppName() const { return m_strAppName; }
    const std::string& GetHelpFilePath() const { return m_strHelpFilePath; }

    CDialog* m_pMainWnd = nullptr;

protected:
    virtual std::span<const AppCommandEntry> GetCommandMap() const;

private:
    std::string m_strAppName;
    std::string m_strHelpFilePath;
    bool m_bNamed;
};

CWinApp* AfxGetApp();

// Program name: the file name of the path without its extension.
std::string AppNameFromModulePath(const std::string& modulePath);
// Help file: the path with the file name's extension replaced by ".HLP"
// (appended when the file name has none).
std::string HelpFilePathFromModulePath(const std::string& modulePath);

}  // namespace platform
