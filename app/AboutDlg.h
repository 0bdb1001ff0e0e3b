// The about box: the advertising picture on a disabled picture button, a
// one-line notice and OK.
#pragma once

#include "model/FieldModel.h"
#include "platform/BitmapButton.h"
#include "platform/Dialog.h"

class CAboutDlg : public platform::CDialog {
public:
    // The notice names the field model in use; the built-in 1995.0 reference
    // field (nullptr) keeps the template's notice.
    explicit CAboutDlg(const model::FieldModel* pFieldModel = nullptr);
    ~CAboutDlg() override;

    platform::CBitmapButton m_btnAdvert;  // the picture, bound to IDC_ADVERT
    const model::FieldModel* m_pFieldModel;

protected:
    void DoDataExchange(platform::CDataExchange* pDX) override;
    platform::BOOL OnInitDialog() override;
};
