#include "platform/BitmapButton.h"

#include <QPainter>
#include <string>

#include "platform/Dialog.h"
#include "platform/OwnerDrawButton.h"

namespace platform {

namespace {
constexpr const char* kUpSuffix = "U";
constexpr const char* kDownSuffix = "D";
constexpr const char* kFocusSuffix = "F";
constexpr const char* kDisabledSuffix = "X";
}  // namespace

CBitmapButton::~CBitmapButton() {
    // The control may outlive this object: it must stop drawing through it.
    if (!m_pButton.isNull()) m_pButton->SetDrawer({});
}

BOOL CBitmapButton::AutoLoad(UINT nID, CDialog* pParent) {
    auto* button =
        pParent != nullptr ? qobject_cast<OwnerDrawButton*>(pParent->GetDlgItem(static_cast<int>(nID))) : nullptr;
    if (button == nullptr) return FALSE;
    m_pButton = button;
    m_pButton->SetDrawer([this](QPainter& painter, const OwnerDrawButton&) { Draw(painter); });

    const std::string name = button->text().toLatin1().toStdString();
    if (name.empty()) return FALSE;
    const std::string up = name + kUpSuffix;
    const std::string down = name + kDownSuffix;
    const std::string focus = name + kFocusSuffix;
    const std::string disabled = name + kDisabledSuffix;
    if (!LoadBitmaps(up.c_str(), down.c_str(), focus.c_str(), disabled.c_str())) return FALSE;
    SizeToContent();
    return TRUE;
}

BOOL CBitmapButton::LoadBitmaps(const char* lpszUp, const char* lpszDown, const char* lpszFocus,
                                const char* lpszDisabled) {
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (!m_bitmap.LoadBitmap(lpszUp)) return FALSE;
    if (lpszDown != nullptr) m_bitmapSel.LoadBitmap(lpszDown);
    if (lpszFocus != nullptr) m_bitmapFocus.LoadBitmap(lpszFocus);
    if (lpszDisabled != nullptr) m_bitmapDisabled.LoadBitmap(lpszDisabled);
    if (!m_pButton.isNull()) m_pButton->update();
    return TRUE;
}

void CBitmapButton::SizeToContent() {
    if (m_pButton.isNull() || !m_bitmap.IsCreated()) return;
    m_pButton->resize(m_bitmap.GetWidth(), m_bitmap.GetHeight());
}

const CBitmap& CBitmapButton::CurrentBitmap() const {
    // Pressed, else focused, else disabled, each only when loaded; else up.
    if (!m_pButton.isNull()) {
        if (m_pButton->isDown() && m_bitmapSel.IsCreated()) return m_bitmapSel;
        if (m_pButton->hasFocus() && m_bitmapFocus.IsCreated()) return m_bitmapFocus;
        if (!m_pButton->isEnabled() && m_bitmapDisabled.IsCreated()) return m_bitmapDisabled;
    }
    return m_bitmap;
}

void CBitmapButton::Draw(QPainter& painter) const {
    const CBitmap& bitmap = CurrentBitmap();
    if (bitmap.IsCreated()) painter.drawImage(0, 0, bitmap.GetImage());  // unscaled, from the top-left
}

}  // namespace platform
