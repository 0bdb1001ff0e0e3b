#include "platform/Menu.h"

#include <QAction>
#include <QMenu>

namespace platform {

BOOL CMenu::AppendMenu(UINT nFlags, UINT nIDNewItem, const char* lpszNewItem) {
    if ((nFlags & MF_SEPARATOR) != 0) {
        m_pMenu->addSeparator();
        return TRUE;
    }
    QAction* action = m_pMenu->addAction(QString::fromLatin1(lpszNewItem != nullptr ? lpszNewItem : ""));
    action->setData(nIDNewItem);
    return TRUE;
}

int CMenu::GetMenuItemCount() const { return static_cast<int>(m_pMenu->actions().size()); }

UINT CMenu::GetMenuItemID(int nPos) const {
    const QAction* a = m_pMenu->actions().value(nPos);
    return a != nullptr && !a->isSeparator() ? a->data().toUInt() : 0;
}

std::string CMenu::GetMenuString(int nPos) const {
    const QAction* a = m_pMenu->actions().value(nPos);
    return a != nullptr && !a->isSeparator() ? a->text().toLatin1().toStdString() : std::string();
}

}  // namespace platform
