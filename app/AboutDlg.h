// The about box: the advertising picture on a disabled picture button, a
// one-line notice and OK.
#pragma once

#include "platform/BitmapButton.h"
#include "platform/Dialog.h"

class CAboutDlg : public platform::CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    platform::CBitmapButton m_btnAdvert;  // the picture, bound to IDC_ADVERT

protected:
    void DoDataExchange(platform::CDataExchange* pDX) override;
    platform::BOOL OnInitDialog() override;
};
