#include "platform/PaintDC.h"

#include "platform/Dialog.h"
#include "platform/DialogWindow.h"

namespace platform {

CPaintDC::CPaintDC(CDialog* pWnd) {
    const QRegion region = pWnd->BeginPaint();
    // The paint presents the region itself once the handler is done.
    if (pWnd->m_pWindow != nullptr) AttachWindow(&pWnd->m_pWindow->Surface(), nullptr, region, true);
}

}  // namespace platform
