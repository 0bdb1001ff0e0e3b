// The device context of a dialog's client area outside painting: what it
// draws goes into the lasting surface and is shown at once.
#pragma once

#include "platform/DC.h"

namespace platform {

class CDialog;

class CClientDC : public CDC {
public:
    explicit CClientDC(CDialog* pWnd);
};

}  // namespace platform
