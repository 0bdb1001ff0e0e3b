// A picture button: an owner-drawn button of a dialog that shows one of up
// to four pictures by its state. AutoLoad finds the pictures by the control's
// text with the suffixes "U" (up), "D" (down), "F" (focused) and "X"
// (disabled); only the up picture is required.
#pragma once

// The control belongs to the dialog's window and may go first: a guarded
// pointer notices that.
#include <QPointer>

#include "platform/Bitmap.h"
#include "platform/OwnerDrawButton.h"
#include "platform/Types.h"

class QPainter;

namespace platform {

class CDialog;

class CBitmapButton {
public:
    CBitmapButton() = default;
    ~CBitmapButton();
    CBitmapButton(const CBitmapButton&) = delete;
    CBitmapButton& operator=(const CBitmapButton&) = delete;

    // Attaches to owner-drawn control nID of pParent (its window must exist)
    // and loads the pictures named by the control's text. FALSE when the
    // control is not owner-drawn or its up picture is missing.
    BOOL AutoLoad(UINT nID, CDialog* pParent);
    // Loads the pictures by name; null or missing ones other than up are left out.
    BOOL LoadBitmaps(const char* lpszUp, const char* lpszDown = nullptr, const char* lpszFocus = nullptr,
                     const char* lpszDisabled = nullptr);
    // Sizes the control to its up picture, keeping its position.
    void SizeToContent();

    OwnerDrawButton* GetButton() const { return m_pButton.data(); }
    // The picture the button shows in its present state.
    const CBitmap& CurrentBitmap() const;

private:
    void Draw(QPainter& painter) const;

    QPointer<OwnerDrawButton> m_pButton;
    CBitmap m_bitmap;          // up
    CBitmap m_bitmapSel;       // down
    CBitmap m_bitmapFocus;     // focused
    CBitmap m_bitmapDisabled;  // disabled
};

}  // namespace platform
