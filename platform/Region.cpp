#include "platform/Region.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <utility>

#include "platform/Dialog.h"

namespace platform {

namespace {

// The cross leaves a disc round the keyboard point clear, wide enough for a
// marker of up to 5 pixels' radius drawn there to stay visible.
constexpr int kCrossGap = 7;   // pixels left clear round the keyboard point
constexpr int kCrossArm = 14;  // length of each arm of its cross, from the point
constexpr int kHaloWidth = 3;  // a white halo keeps the black cross visible on dark ground

// The focus frame: two pixels wide, white and black dashes in turn, so that
// one of its colours stands out from any ground (at least 3:1 in contrast).
constexpr int kFrameWidth = 2;
constexpr int kFrameDash = 4;  // length of each dash in pixels

// What assistive technology sees of a region: its name, description and role,
// and for a text region its current text through the text interface.
class RegionAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit RegionAccessible(RegionWidget* region)
        : QAccessibleWidget(region,
                            region->Role() == RegionRole::Graphic ? QAccessible::Graphic : QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return widget()->accessibleName();
        if (t == QAccessible::Description) return widget()->accessibleDescription();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (Region().Role() == RegionRole::Text) s.readOnly = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface && Region().Role() == RegionRole::Text)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The text interface: read only, no selection, no caret.
    void selection(int /*selectionIndex*/, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int /*startOffset*/, int /*endOffset*/) override {}
    void removeSelection(int /*selectionIndex*/) override {}
    void setSelection(int /*selectionIndex*/, int /*startOffset*/, int /*endOffset*/) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    QString text(int startOffset, int endOffset) const override {
        const QString& all = Region().Text();
        if (endOffset < 0 || endOffset > all.size()) endOffset = static_cast<int>(all.size());
        if (startOffset < 0 || startOffset >= endOffset) return QString();
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(Region().Text().size()); }
    QRect characterRect(int /*offset*/) const override { return QRect(); }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*startIndex*/, int /*endIndex*/) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    const RegionWidget& Region() const { return *static_cast<const RegionWidget*>(widget()); }
};

// A region's status as a notification: named by the status, no geometry of
// its own. It hangs from the application, as a message of the program's, so
// that a screen reader says it without the windows and regions round it.
class NoticeAccessible : public QAccessibleWidget {
public:
    explicit NoticeAccessible(QWidget* notice) : QAccessibleWidget(notice, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return widget()->accessibleName();
        return QString();
    }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(qApp); }
};

// Posted to a region that has taken the focus: told to its dialog from the event loop.
QEvent::Type FocusTakenEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace

UINT VirtualKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    default: return qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z ? static_cast<UINT>(qtKey) : 0;  // 'A' to 'Z'
    }
}

RegionWidget::RegionWidget(CDialog& dialog, QWidget* window, const RegionSpec& region)
    : QWidget(window), m_dialog(dialog), m_nId(region.id), m_role(region.role) {
    setGeometry(region.rect.left, region.rect.top, region.rect.Width(), region.rect.Height());
    // The dialog's own window takes the pointer; the region only overlays it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(region.role == RegionRole::Graphic ? Qt::TabFocus : Qt::NoFocus);
    setAccessibleName(QString::fromLatin1(region.name));
    setAccessibleDescription(QString::fromLatin1(region.description));
    // Known to assistive technology before anything asks for it. Qt's
    // accessibility cache owns the interface and deletes it with the widget.
    // NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks): the cache owns it
    QAccessible::registerAccessibleInterface(new RegionAccessible(this));
    m_pNotice = new QWidget(this);
    m_pNotice->setGeometry(0, 0, 0, 0);
    m_pNotice->hide();
    QAccessible::registerAccessibleInterface(new NoticeAccessible(m_pNotice));
    show();
    // NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)
}

void RegionWidget::SetText(const QString& text) {
    if (text == m_text) return;
    const QString old = std::exchange(m_text, text);
    QAccessibleTextUpdateEvent change(this, 0, old, m_text);
    QAccessible::updateAccessibility(&change);
}

void RegionWidget::SetStatus(const QString& status) {
    m_status = status;
    m_pNotice->setAccessibleName(status);
    // Shown anew, also when the status is the same as before.
    QAccessibleEvent shown(m_pNotice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void RegionWidget::SetPointer(QPoint point) {
    if (point == m_pointer) return;
    m_pointer = point;
    if (hasFocus()) update();
}

void RegionWidget::paintEvent(QPaintEvent* /*event*/) {
    if (!hasFocus()) return;  // unfocused, the region shows the dialog's picture unchanged
    QPainter painter(this);
    // The frame's pixels are the region's outermost two rings: white under
    // black dashes (the pen's dash pattern counts in pen widths).
    const QRectF frame =
        QRectF(rect()).adjusted(kFrameWidth / 2.0, kFrameWidth / 2.0, -kFrameWidth / 2.0, -kFrameWidth / 2.0);
    painter.setPen(QPen(Qt::white, kFrameWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawRect(frame);
    QPen dashes(Qt::black, kFrameWidth, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    dashes.setDashPattern({static_cast<qreal>(kFrameDash) / kFrameWidth, static_cast<qreal>(kFrameDash) / kFrameWidth});
    painter.setPen(dashes);
    painter.drawRect(frame);
    // A cross round the keyboard point, its centre left clear.
    const QPoint c = m_pointer - pos();
    const QLine arms[] = {{c.x() - kCrossArm, c.y(), c.x() - kCrossGap, c.y()},
                          {c.x() + kCrossGap, c.y(), c.x() + kCrossArm, c.y()},
                          {c.x(), c.y() - kCrossArm, c.x(), c.y() - kCrossGap},
                          {c.x(), c.y() + kCrossGap, c.x(), c.y() + kCrossArm}};
    painter.setPen(QPen(Qt::white, kHaloWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawLines(arms, 4);
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawLines(arms, 4);
}

void RegionWidget::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const UINT key = VirtualKeyOf(event->key());
    // Keys with Ctrl, Alt or Meta, and keys without a virtual key here (Tab,
    // Enter, Escape, the menu key), go on to the dialog's own handling.
    if (key == 0 || (modifiers & ~Qt::ShiftModifier) != 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const UINT flags = (modifiers & Qt::ShiftModifier) != 0 ? MK_SHIFT : 0;
    m_dialog.SendMessage(WM_KEYDOWN, key, static_cast<LPARAM>(flags));
    event->accept();
}

void RegionWidget::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
    // After the focus change has gone out to assistive technology, so that
    // what the dialog says on it comes after the region's own presentation.
    QCoreApplication::postEvent(this, new QEvent(FocusTakenEvent()));
}

bool RegionWidget::event(QEvent* event) {
    if (event->type() != FocusTakenEvent()) return QWidget::event(event);
    m_dialog.SendMessage(WM_SETFOCUS, static_cast<WPARAM>(m_nId), 0);
    return true;
}

void RegionWidget::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace platform
