#include "app/AboutDlg.h"

#include "app/ModelText.h"
#include "resources/resource.h"

// No parent: the framework makes the running main dialog its owner. OK, Escape
// and the close box end it through the dialog's default handling.
CAboutDlg::CAboutDlg(const model::FieldModel* pFieldModel) : CDialog(IDD_ABOUT, nullptr), m_pFieldModel(pFieldModel) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(platform::CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

platform::BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The control's text names the pictures; only the up picture exists. The
    // button is disabled in the template: no clicks, no focus.
    m_btnAdvert.AutoLoad(IDC_ADVERT, this);
    m_btnAdvert.SizeToContent();
    // The notice is the template's one static control (id -1).
    if (m_pFieldModel != nullptr && !IsReferenceField1995(*m_pFieldModel))
        SetDlgItemText(-1, AboutNotice(*m_pFieldModel).c_str());
    return platform::TRUE;
}
