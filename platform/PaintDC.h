// The device context of a paint handler: draws into the dialog's surface,
// clipped to the region being repainted, which it validates.
#pragma once

#include "platform/DC.h"

namespace platform {

class CDialog;

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CDialog* pWnd);
};

}  // namespace platform
