#include "platform/MessageBox.h"

#include <QMessageBox>

#include "platform/Dialog.h"

namespace platform {

namespace {

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

QMessageBox::Icon IconFor(UINT nType) {
    switch (nType & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int ShowRealBox(CDialog* pOwner, const std::string& text, const std::string& caption, UINT nType) {
    QWidget* owner = pOwner != nullptr ? pOwner->GetWindow() : nullptr;
    QMessageBox box(IconFor(nType), QString::fromLatin1(caption), QString::fromLatin1(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // As for an owned dialog: the owner is active again (platform/Dialog.cpp).
    if (owner != nullptr && owner->isVisible()) owner->activateWindow();
    return IDOK;
}

}  // namespace

int MessageBox(CDialog* pOwner, const char* lpszText, const char* lpszCaption, UINT nType) {
    const std::string text = lpszText != nullptr ? lpszText : "";
    const std::string caption = lpszCaption != nullptr ? lpszCaption : "";
    const MessageBoxHandler& handler = Handler();
    return handler ? handler(pOwner, text, caption, nType) : ShowRealBox(pOwner, text, caption, nType);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace platform
