#include "platform/ClientDC.h"

#include "platform/Dialog.h"
#include "platform/DialogWindow.h"

namespace platform {

CClientDC::CClientDC(CDialog* pWnd) {
    if (pWnd->m_pWindow != nullptr) AttachWindow(&pWnd->m_pWindow->Surface(), pWnd->m_pWindow.get(), QRegion(), false);
}

}  // namespace platform
