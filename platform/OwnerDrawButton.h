// A push button that draws nothing itself: its owner supplies the drawing.
#pragma once

#include <QAbstractButton>
#include <functional>

namespace platform {

class OwnerDrawButton : public QAbstractButton {
    Q_OBJECT

public:
    using Drawer = std::function<void(QPainter& painter, const OwnerDrawButton& button)>;

    explicit OwnerDrawButton(QWidget* parent) : QAbstractButton(parent) {}
    void SetDrawer(Drawer drawer);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Drawer m_drawer;
};

}  // namespace platform
