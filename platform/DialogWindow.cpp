#include "platform/DialogWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleFactory>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/Dialog.h"
#include "platform/OwnerDrawButton.h"

namespace platform {

namespace {

constexpr UINT kButtonTypeMask = 0x0000000Fu;
constexpr int kPointsPerInch = 72;
constexpr int kPixelsPerInch = 96;

// A static control without SS_NOPREFIX shows "&&" as "&" and hides a single "&".
QString WithoutMnemonics(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

UINT KeyStateFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    UINT flags = 0;
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

// The light colours the dialogs are drawn for: the fixed palette of Qt's
// Fusion style (light grey faces, black text), whatever palette the desktop
// gives the application. The readout panel and the pictures are yellow and
// white; dark faces or light text on them would be unreadable.
const QPalette& DialogPalette() {
    static const QPalette palette = [] {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        return fusion != nullptr ? fusion->standardPalette() : QPalette(QColor(0xEF, 0xEF, 0xEF));
    }();
    return palette;
}

// Under an application style sheet (which outranks any palette) the dialogs'
// own faces, labels and buttons take the same light colours back.
QString DialogStyleSheet() {
    const QPalette& p = DialogPalette();
    return QStringLiteral(
               "QDialog, QLabel { background-color: %1; color: %2; }"
               "QPushButton { background-color: %3; color: %4; border: 1px solid %5; }")
        .arg(p.color(QPalette::Window).name(), p.color(QPalette::WindowText).name(), p.color(QPalette::Button).name(),
             p.color(QPalette::ButtonText).name(), p.color(QPalette::Dark).name());
}

}  // namespace

DialogWindow::DialogWindow(CDialog& dialog, const DialogTemplate& layout, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_dialog(dialog),
      m_pMenu(new QMenu(this)),
      m_systemMenu(m_pMenu) {
    setWindowTitle(QString::fromLatin1(layout.title));
    setPalette(DialogPalette());
    if (qApp != nullptr && !qApp->styleSheet().isEmpty()) setStyleSheet(DialogStyleSheet());
    if ((layout.style & DS_SETFONT) != 0 && !layout.typeface.empty()) {
        QFont font(QString::fromLatin1(layout.typeface));
        font.setPixelSize(layout.pointSize * kPixelsPerInch / kPointsPerInch);
        setFont(font);
    }
    const QSize client(DialogUnitsToPixelsX(layout.cx), DialogUnitsToPixelsY(layout.cy));
    setFixedSize(client);
    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    MakeSurface(screen != nullptr ? screen->devicePixelRatio() : 1.0);
    setMouseTracking(true);  // moves arrive with no button held

    for (const ControlTemplate& control : layout.controls) AddControl(control);
    QWidget* previous = nullptr;
    for (const auto& [id, widget] : m_controls) {
        if (widget->focusPolicy() != Qt::StrongFocus) continue;
        if (previous != nullptr) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }

    ResetSystemMenu();
    connect(m_pMenu, &QMenu::triggered, this,
            [this](QAction* action) { m_dialog.SendMessage(WM_SYSCOMMAND, action->data().toUInt(), 0); });
    // The window manager keeps its own system menu to itself: the dialog
    // opens its own with Alt+Space or the context-menu key.
    for (const QKeySequence& keys : {QKeySequence(Qt::ALT | Qt::Key_Space), QKeySequence(Qt::Key_Menu)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] { OpenSystemMenu(); });
    }
}

DialogWindow::~DialogWindow() = default;

void DialogWindow::MakeSurface(qreal devicePixelRatio) {
    // The client area in device pixels (a fractional ratio rounds up), drawn
    // in client pixels: text and markers come out at the screen's own density.
    const QSize device(qCeil(width() * devicePixelRatio), qCeil(height() * devicePixelRatio));
    m_surface = QImage(device, QImage::Format_RGB32);
    m_surface.setDevicePixelRatio(devicePixelRatio);
    m_surface.fill(palette().color(QPalette::Window));
}

void DialogWindow::AddControl(const ControlTemplate& control) {
    const QString text = QString::fromLatin1(control.text);
    const QString className = QString::fromLatin1(control.className).toLower();
    QWidget* widget = nullptr;
    if (className == u"button") {
        const UINT type = control.style & kButtonTypeMask;
        if (type == BS_OWNERDRAW) {
            // Its text is never shown; the owner may read it (a picture button's picture names).
            auto* button = new OwnerDrawButton(this);
            button->setText(text);
            widget = button;
        } else {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(true);  // a focused push button takes Enter
            button->setDefault(type == BS_DEFPUSHBUTTON);
            widget = button;
        }
        auto* button = static_cast<QAbstractButton*>(widget);
        const UINT id = static_cast<UINT>(control.id) & 0xFFFF;
        connect(button, &QAbstractButton::clicked, this,
                [this, id] { m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); });
        widget->setFocusPolicy((control.style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
        // A disabled button takes no focus, and Tab passes it by.
        if ((control.style & WS_DISABLED) != 0) widget->setFocusPolicy(Qt::NoFocus);
    } else {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setText((control.style & SS_NOPREFIX) != 0 ? text : WithoutMnemonics(text));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
    }
    widget->setGeometry(DialogUnitsToPixelsX(control.x), DialogUnitsToPixelsY(control.y),
                        DialogUnitsToPixelsX(control.cx), DialogUnitsToPixelsY(control.cy));
    widget->setEnabled((control.style & WS_DISABLED) == 0);
    widget->setVisible((control.style & WS_VISIBLE) != 0);
    m_controls.emplace_back(control.id, widget);
}

void DialogWindow::ResetSystemMenu() {
    m_pMenu->clear();
    m_systemMenu.AppendMenu(MF_STRING, SC_CLOSE, "&Close");
}

QWidget* DialogWindow::Control(int id) const {
    for (const auto& [controlId, widget] : m_controls)
        if (controlId == id) return widget;
    return nullptr;
}

void DialogWindow::OpenSystemMenu() { m_pMenu->popup(mapToGlobal(QPoint(0, 0))); }

void DialogWindow::CentreOver(QWidget* owner) {
    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    create();  // the platform window knows the frame's margins
    const QRect work = screen->availableGeometry();
    const QPoint centre = owner != nullptr ? owner->frameGeometry().center() : work.center();
    const QSize frame = frameGeometry().size();
    QPoint topLeft = centre - QPoint((frame.width() - 1) / 2, (frame.height() - 1) / 2);
    // Kept in the work area.
    topLeft.setX(std::clamp(topLeft.x(), work.left(), std::max(work.left(), work.right() + 1 - frame.width())));
    topLeft.setY(std::clamp(topLeft.y(), work.top(), std::max(work.top(), work.bottom() + 1 - frame.height())));
    move(topLeft);
}

void DialogWindow::FocusFirstTabStop() {
    for (const auto& [id, widget] : m_controls) {
        if (widget->focusPolicy() == Qt::StrongFocus && widget->isEnabled() && !widget->isHidden()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void DialogWindow::End(int result) {
    m_bEnding = true;
    done(result);
}

void DialogWindow::paintEvent(QPaintEvent* event) {
    // On a screen of another density (the window moved, the scale changed)
    // the surface starts again at that density with a whole repaint, as after
    // any other repaint of the whole client area.
    if (devicePixelRatioF() != m_surface.devicePixelRatio()) {
        MakeSurface(devicePixelRatioF());
        m_dialog.InvalidateRect(nullptr, FALSE);
    }
    m_dialog.RunPaint();  // the dialog's own painting, when something is invalid
    QPainter painter(this);
    if (m_surface.devicePixelRatio() == 1.0) {
        for (const QRect& rect : event->region()) painter.drawImage(rect, m_surface, rect);
    } else {
        // Device pixel for device pixel.
        painter.setClipRegion(event->region());
        painter.drawImage(QPoint(0, 0), m_surface);
    }
}

void DialogWindow::showEvent(QShowEvent* event) {
    if (!m_bShown) {
        m_bShown = true;
        m_dialog.InvalidateRect(nullptr, FALSE);
    }
    QDialog::showEvent(event);
}

// The client pixel under the pointer: on a high-density screen a device pixel
// lies in the client pixel whose area holds it (device pixel 601 at scale 2 in
// client pixel 300). The event's own position has been rounded to whole
// client pixels on its way to the widget (300.5 to 301), so the window's
// unrounded one is taken, made a device pixel and divided.
QPoint DialogWindow::ClientPixel(const QMouseEvent& event) const {
    const qreal d = devicePixelRatioF();
    const QPointF position = event.scenePosition() - QPointF(mapTo(window(), QPoint(0, 0)));
    const auto pixel = [d](qreal logical) {
        // A whole device pixel comes back from the division as itself up to
        // rounding; a fractional position (some compositors) lies in the one
        // below it.
        constexpr qreal kWholeDevicePixel = 1e-6;
        const qreal device = logical * d;
        const qreal whole = std::round(device);
        const qreal devicePixel = std::fabs(device - whole) < kWholeDevicePixel ? whole : std::floor(device);
        return qFloor(devicePixel / d);
    };
    return QPoint(pixel(position.x()), pixel(position.y()));
}

void DialogWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = ClientPixel(*event);
    m_dialog.SendMessage(WM_MOUSEMOVE, KeyStateFlags(event->buttons(), event->modifiers()), MAKELPARAM(p.x(), p.y()));
}

void DialogWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint p = ClientPixel(*event);
    const UINT flags = KeyStateFlags(event->buttons(), event->modifiers());
    if (event->button() == Qt::LeftButton)
        m_dialog.SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(p.x(), p.y()));
    else if (event->button() == Qt::RightButton)
        m_dialog.SendMessage(WM_RBUTTONDOWN, flags, MAKELPARAM(p.x(), p.y()));
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    if (m_bEnding) {
        event->accept();
        return;
    }
    // The close box is the system menu's Close.
    event->ignore();
    m_dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) OpenSystemMenu();
}

void DialogWindow::reject() { m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

}  // namespace platform
