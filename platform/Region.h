// Regions of a dialog's client area: parts of the lasting picture that
// assistive technology reads (a name, a role, a description and a current
// text) and, where they take the focus, that the keyboard reaches. A region
// draws nothing into the client surface; a focused one shows a frame and its
// keyboard point on the screen only. Keys pressed in a focused region reach
// its dialog as WM_KEYDOWN; Tab, Enter and Escape stay the dialog's own. A
// region taking the focus tells its dialog with WM_SETFOCUS.
//
// A screen reader drops the text changes of labels and cannot read the new
// value of a name or description change from this toolkit's events; what it
// speaks at once is a notification that shows. So what a region has just
// become (its status) is a notification inside the region, shown anew each
// time it is set.
#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

#include "platform/Types.h"

namespace platform {

class CDialog;

enum class RegionRole {
    Graphic,  // a picture the user points into (takes the focus)
    Text,     // a box whose text changes
};

struct RegionSpec {
    int id;
    const char* name;         // what assistive technology calls it
    const char* description;  // longer help; may be empty
    RegionRole role;
    CRect rect;  // client pixels, right and bottom exclusive
};

// The virtual key of a Qt key that a region passes on, or 0 for keys that
// stay with Qt: the arrows, Home, Space and the letters A to Z.
UINT VirtualKeyOf(int qtKey);

class RegionWidget : public QWidget {
    Q_OBJECT

public:
    RegionWidget(CDialog& dialog, QWidget* window, const RegionSpec& region);

    int Id() const { return m_nId; }
    RegionRole Role() const { return m_role; }
    const QString& Text() const { return m_text; }
    // Replaces the text; a change is announced to assistive technology.
    void SetText(const QString& text);
    // Sets the status and announces it, also when it is the same as before
    // (a key that left the point where it was is still answered).
    void SetStatus(const QString& status);
    const QString& Status() const { return m_status; }
    // The keyboard point in client pixels, shown while the region has focus.
    void SetPointer(QPoint point);
    QPoint Pointer() const { return m_pointer; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CDialog& m_dialog;
    int m_nId;
    RegionRole m_role;
    QString m_text;
    QString m_status;
    QWidget* m_pNotice;  // the status's notification; never drawn
    QPoint m_pointer;
};

}  // namespace platform
