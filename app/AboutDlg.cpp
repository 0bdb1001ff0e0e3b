#include "app/AboutDlg.h"

#include "resources/resource.h"

// No parent: the framework makes the running main dialog its owner. OK, Escape
// and the close box end it through the dialog's default handling.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUT, nullptr) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(platform::CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

platform::BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The control's text names the pictures; only the up picture exists. The
    // button is disabled in the template: no clicks, no focus.
    m_btnAdvert.AutoLoad(IDC_ADVERT, this);
    m_btnAdvert.SizeToContent();
    return platform::TRUE;
}
