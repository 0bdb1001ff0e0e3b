#include "platform/OwnerDrawButton.h"

#include <QPainter>

namespace platform {

void OwnerDrawButton::SetDrawer(Drawer drawer) {
    m_drawer = std::move(drawer);
    update();
}

void OwnerDrawButton::paintEvent(QPaintEvent* /*event*/) {
    if (!m_drawer) return;
    QPainter painter(this);
    m_drawer(painter, *this);
}

}  // namespace platform
