// Message boxes: text, caption, icon and an OK button. The shown box can be
// replaced (tests record what would be shown instead).
#pragma once

#include <functional>
#include <string>

#include "platform/Types.h"

namespace platform {

class CDialog;

// pOwner may be nullptr: a box with no owner window.
int MessageBox(CDialog* pOwner, const char* lpszText, const char* lpszCaption, UINT nType);

using MessageBoxHandler =
    std::function<int(CDialog* pOwner, const std::string& text, const std::string& caption, UINT nType)>;

// Installs a replacement (an empty handler restores the real box); returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform
