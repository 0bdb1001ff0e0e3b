// A modal dialog built from a dialog template in the resources. Its client
// area is a lasting surface: drawing outside painting (CClientDC) stays until
// the dialog's own paint handler draws over it; the window system's exposes
// only show the surface again.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/MessageMap.h"
#include "platform/Types.h"

class QImage;
class QRegion;
class QWidget;

namespace platform {

class CMenu;
class DialogWindow;
class RegionWidget;
struct RegionSpec;

// Dialog units to pixels: 6 x 13 pixels per 4 x 8 units, truncated.
constexpr int DialogUnitsToPixelsX(int x) { return x * 6 / 4; }
constexpr int DialogUnitsToPixelsY(int y) { return y * 13 / 8; }

// Data exchange between a dialog's controls and its members (nothing here
// exchanges anything; dialogs override DoDataExchange by convention).
class CDataExchange {};

class CDialog {
public:
    explicit CDialog(UINT nIDTemplate, CDialog* pParentWnd = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Builds the window, runs OnInitDialog, centres it and runs it modally
    // until EndDialog; then destroys the window (WM_DESTROY) and returns the
    // result given to EndDialog, or -1 when the template does not exist.
    virtual int DoModal();
    void EndDialog(int nResult);

    // Runs the message through the dialog's table, else default processing.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Window services; all need the window (during DoModal).
    CMenu* GetSystemMenu(BOOL bRevert);
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;
    void GetClientRect(CRect* lpRect) const;
    // Adds the rectangle (nullptr: the whole client area) to the region the
    // next paint redraws; bErase fills it with the background colour first.
    void InvalidateRect(const CRect* lpRect, BOOL bErase = TRUE);
    // Runs a pending paint now.
    void UpdateWindow();
    BOOL IsIconic() const;
    QWidget* GetDlgItem(int nID) const;
    // Sets a control's text (Latin-1), shown as given. Nothing happens for an
    // id without a control.
    void SetDlgItemText(int nID, const char* lpszString);
    // The window's title (Latin-1); empty, and nothing set, outside DoModal.
    std::string GetWindowText() const;
    void SetWindowText(const char* lpszString);
    QWidget* GetWindow() const;      // the dialog's top-level widget, nullptr outside DoModal
    QImage GetSurfaceImage() const;  // a copy of the client surface as drawn so far

    // Help on this dialog: asks the application for its context (help id =
    // template id, above HID_BASE_RESOURCE); TRUE once answered.
    virtual BOOL OnCommandHelp();
    // Asks the help engine for the application's help file with this window
    // as owner; when the engine cannot start, says so in a message box.
    void WinHelp(std::uintptr_t dwData, UINT nCmd = HELP_CONTEXT);
    UINT GetTemplateId() const { return m_nIDTemplate; }

    // Regions of the client area that assistive technology reads and, for a
    // graphic, the keyboard reaches (platform/Region.h). Made while the
    // window lives (in OnInitDialog); they go with it. The text is in the
    // same single-byte Latin-1 as TextOut draws.
    void AddRegion(const RegionSpec& region);
    void SetRegionText(int nId, const std::string& text);
    // What a region has just become, for a listener: a notification that a
    // screen reader speaks at once, every time it is set (Latin-1 as above).
    virtual void SetRegionStatus(int nId, const std::string& text);
    BOOL RegionHasFocus(int nId) const;
    void SetRegionPointer(int nId, CPoint point);
    RegionWidget* GetRegion(int nId) const;

protected:
    // Base initialisation: exchanges data and shows a control whose id is an
    // application command only when the application serves that command.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();      // EndDialog(IDOK)
    virtual void OnCancel();  // EndDialog(IDCANCEL)
    virtual std::span<const MessageEntry> GetMessageMap() const;

    // The default processing of each message a table may bind; a handler
    // calls these to pass its message on.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnDestroy();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class DialogWindow;
    friend class CPaintDC;
    friend class CClientDC;

    QRegion BeginPaint();  // the region to repaint, validated
    void RunPaint();       // paints the invalid region into the surface
    QWidget* OwnerWindow() const;

    UINT m_nIDTemplate;
    CDialog* m_pParentWnd;
    std::unique_ptr<DialogWindow> m_pWindow;
    std::vector<RegionWidget*> m_regions;  // children of m_pWindow
    struct PendingPaint;                   // the regions waiting for the next paint (Dialog.cpp)
    std::unique_ptr<PendingPaint> m_pPending;
    HICON m_hIconBig = nullptr;
    HICON m_hIconSmall = nullptr;
    bool m_bEnded = false;
    int m_nResult = -1;
};

}  // namespace platform
