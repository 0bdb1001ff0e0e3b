#include "platform/Dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include "platform/DialogWindow.h"
#include "platform/Help.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/PaintDC.h"
#include "platform/Region.h"
#include "platform/ResourceLookup.h"
#include "platform/WinApp.h"

namespace platform {

struct CDialog::PendingPaint {
    QRegion invalid;  // what the next paint redraws
    QRegion erase;    // the part of it filled with the background first
};

CDialog::CDialog(UINT nIDTemplate, CDialog* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd), m_pPending(std::make_unique<PendingPaint>()) {}

CDialog::~CDialog() {
    if (CWinApp* app = GetApp(); app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}

QWidget* CDialog::OwnerWindow() const {
    // An unowned dialog is owned by the application's main window while that runs.
    if (m_pParentWnd != nullptr) return m_pParentWnd->GetWindow();
    CWinApp* app = GetApp();
    if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != this) return app->m_pMainWnd->GetWindow();
    return nullptr;
}

int CDialog::DoModal() {
    const DialogTemplate* layout = FindDialogTemplate(m_nIDTemplate);
    if (layout == nullptr || m_pWindow != nullptr) return -1;
    QWidget* owner = OwnerWindow();
    m_pWindow = std::make_unique<DialogWindow>(*this, *layout, owner);
    m_bEnded = false;
    m_nResult = -1;
    *m_pPending = PendingPaint{};

    if (OnInitDialog()) m_pWindow->FocusFirstTabStop();
    m_pWindow->CentreOver(owner);
    if (!m_bEnded) m_pWindow->exec();
    // The owner is active again and its focus where it was: without a window
    // manager nothing else would give it back, and keys would reach no window.
    if (owner != nullptr && owner->isVisible()) owner->activateWindow();

    SendMessage(WM_DESTROY);
    m_regions.clear();
    m_pWindow.reset();
    m_hIconBig = m_hIconSmall = nullptr;
    return m_nResult;
}

void CDialog::EndDialog(int nResult) {
    m_nResult = nResult;
    m_bEnded = true;
    if (m_pWindow != nullptr) m_pWindow->End(nResult);
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange(nullptr);
    CWinApp* app = GetApp();
    for (const auto& [id, widget] : m_pWindow->Controls()) {
        const UINT command = static_cast<UINT>(id) & 0xFFFF;
        if (command >= kFirstAppCommand && command < kEndAppCommand && (app == nullptr || !app->ServesCommand(command)))
            widget->hide();
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

std::span<const MessageEntry> CDialog::GetMessageMap() const { return {}; }

LRESULT CDialog::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageEntry& entry : GetMessageMap()) {
        if (entry.message != message) continue;
        if (message == WM_COMMAND && (entry.id != (wParam & 0xFFFF) || entry.code != ((wParam >> 16) & 0xFFFF)))
            continue;
        return entry.invoke(*this, wParam, lParam);
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(WM_CLOSE);
        return 0;
    case WM_CLOSE: SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); return 0;
    case WM_COMMAND: {
        const UINT id = static_cast<UINT>(wParam & 0xFFFF);
        if (id == static_cast<UINT>(IDOK)) {
            OnOK();
        } else if (id == static_cast<UINT>(IDCANCEL)) {
            OnCancel();
        } else if (id >= kFirstAppCommand && id < kEndAppCommand) {
            if (CWinApp* app = GetApp()) return app->OnCommand(id);
        }
        return 0;
    }
    case WM_PAINT:
        BeginPaint();  // nothing of its own to paint: validate
        return 0;
    case WM_ICONERASEBKGND:
        if (wParam != 0 && m_pWindow != nullptr) {
            const QColor c = m_pWindow->palette().color(QPalette::Window);
            reinterpret_cast<CDC*>(wParam)->FillBackground(RGB(c.red(), c.green(), c.blue()));
        }
        return 1;
    default: return 0;
    }
}

void CDialog::OnSysCommand(UINT nID, LPARAM lParam) { DefWindowProc(WM_SYSCOMMAND, nID, lParam); }
void CDialog::OnPaint() { DefWindowProc(WM_PAINT, 0, 0); }
HCURSOR CDialog::OnQueryDragIcon() { return nullptr; }
void CDialog::OnMouseMove(UINT nFlags, CPoint point) {
    DefWindowProc(WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y));
}
void CDialog::OnLButtonDown(UINT nFlags, CPoint point) {
    DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}
void CDialog::OnRButtonDown(UINT nFlags, CPoint point) {
    DefWindowProc(WM_RBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}
void CDialog::OnDestroy() { DefWindowProc(WM_DESTROY, 0, 0); }

CMenu* CDialog::GetSystemMenu(BOOL bRevert) {
    if (m_pWindow == nullptr) return nullptr;
    if (bRevert) {
        m_pWindow->ResetSystemMenu();
        return nullptr;
    }
    return &m_pWindow->SystemMenu();
}

HICON CDialog::SetIcon(HICON hIcon, BOOL bBigIcon) {
    HICON& slot = bBigIcon ? m_hIconBig : m_hIconSmall;
    HICON previous = std::exchange(slot, hIcon);
    if (m_pWindow != nullptr) m_pWindow->setWindowIcon(hIcon != nullptr ? *hIcon : QIcon());
    return previous;
}

HICON CDialog::GetIcon(BOOL bBigIcon) const { return bBigIcon ? m_hIconBig : m_hIconSmall; }

void CDialog::GetClientRect(CRect* lpRect) const {
    if (lpRect == nullptr) return;
    *lpRect = m_pWindow != nullptr ? CRect{0, 0, m_pWindow->width(), m_pWindow->height()} : CRect{};
}

void CDialog::InvalidateRect(const CRect* lpRect, BOOL bErase) {
    if (m_pWindow == nullptr) return;
    const QRect client = m_pWindow->rect();
    const QRect rect =
        lpRect != nullptr ? QRect(lpRect->left, lpRect->top, lpRect->Width(), lpRect->Height()) & client : client;
    if (rect.isEmpty()) return;
    m_pPending->invalid += rect;
    if (bErase) m_pPending->erase += rect;
    m_pWindow->update(rect);
}

void CDialog::UpdateWindow() { RunPaint(); }

BOOL CDialog::IsIconic() const { return m_pWindow != nullptr && m_pWindow->isMinimized(); }

QWidget* CDialog::GetDlgItem(int nID) const { return m_pWindow != nullptr ? m_pWindow->Control(nID) : nullptr; }

void CDialog::SetDlgItemText(int nID, const char* lpszString) {
    QWidget* item = GetDlgItem(nID);
    const QString text = QString::fromLatin1(lpszString != nullptr ? lpszString : "");
    if (auto* label = qobject_cast<QLabel*>(item))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(item))
        button->setText(text);
}

std::string CDialog::GetWindowText() const {
    return m_pWindow != nullptr ? m_pWindow->windowTitle().toLatin1().toStdString() : std::string();
}

void CDialog::SetWindowText(const char* lpszString) {
    if (m_pWindow != nullptr) m_pWindow->setWindowTitle(QString::fromLatin1(lpszString != nullptr ? lpszString : ""));
}

QWidget* CDialog::GetWindow() const { return m_pWindow.get(); }

QImage CDialog::GetSurfaceImage() const { return m_pWindow != nullptr ? m_pWindow->Surface().copy() : QImage(); }

BOOL CDialog::OnCommandHelp() {
    CWinApp* app = GetApp();
    if (app == nullptr) return FALSE;
    app->WinHelp(HID_BASE_RESOURCE + m_nIDTemplate, HELP_CONTEXT);
    return TRUE;
}

void CDialog::WinHelp(std::uintptr_t dwData, UINT nCmd) {
    CWinApp* app = GetApp();
    if (app == nullptr) return;
    QWidget* topLevel = m_pWindow != nullptr ? m_pWindow->window() : nullptr;
    // Whatever holds the mouse lets it go before the viewer comes up.
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const BOOL started = platform::WinHelp(topLevel, app->GetHelpFilePath(), nCmd, dwData);
    QApplication::restoreOverrideCursor();
    if (!started) {
        const std::string text = LoadString(IDP_FAILED_TO_LAUNCH_HELP);
        MessageBox(this, text.c_str(), app->GetAppName().c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CDialog::AddRegion(const RegionSpec& region) {
    if (m_pWindow == nullptr || GetRegion(region.id) != nullptr) return;
    m_regions.push_back(new RegionWidget(*this, m_pWindow.get(), region));
}

void CDialog::SetRegionText(int nId, const std::string& text) {
    if (RegionWidget* region = GetRegion(nId))
        region->SetText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void CDialog::SetRegionStatus(int nId, const std::string& text) {
    if (RegionWidget* region = GetRegion(nId))
        region->SetStatus(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

BOOL CDialog::RegionHasFocus(int nId) const {
    const RegionWidget* region = GetRegion(nId);
    return region != nullptr && region->hasFocus() ? TRUE : FALSE;
}

void CDialog::SetRegionPointer(int nId, CPoint point) {
    if (RegionWidget* region = GetRegion(nId)) region->SetPointer(QPoint(point.x, point.y));
}

RegionWidget* CDialog::GetRegion(int nId) const {
    for (RegionWidget* region : m_regions)
        if (region->Id() == nId) return region;
    return nullptr;
}

QRegion CDialog::BeginPaint() { return std::exchange(m_pPending->invalid, QRegion()); }

void CDialog::RunPaint() {
    if (m_pWindow == nullptr || m_pPending->invalid.isEmpty()) return;
    if (!m_pPending->erase.isEmpty()) {
        QPainter painter(&m_pWindow->Surface());
        painter.setClipRegion(m_pPending->erase);
        painter.fillRect(m_pWindow->Surface().rect(), m_pWindow->palette().color(QPalette::Window));
        m_pPending->erase = QRegion();
    }
    // A handler that never began painting still validates what it was asked
    // to paint; what it invalidates itself stays for the next paint.
    const QRegion painting = m_pPending->invalid;
    SendMessage(WM_PAINT);
    m_pPending->invalid -= painting;
}

}  // namespace platform
