// A menu whose items carry command ids: the dialogs' system menus.
#pragma once

#include <string>

#include "platform/Types.h"

class QMenu;

namespace platform {

class CMenu {
public:
    explicit CMenu(QMenu* menu) : m_pMenu(menu) {}

    // MF_SEPARATOR adds a separator; MF_STRING an item with the id and its
    // Latin-1 text ("&" marks the mnemonic).
    BOOL AppendMenu(UINT nFlags, UINT nIDNewItem = 0, const char* lpszNewItem = nullptr);

    int GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;         // 0 for a separator
    std::string GetMenuString(int nPos) const;  // Latin-1, empty for a separator

    QMenu* GetQMenu() const { return m_pMenu; }

private:
    QMenu* m_pMenu;
};

}  // namespace platform
