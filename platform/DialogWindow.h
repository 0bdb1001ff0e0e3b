// The Qt window of a CDialog: controls from the template, the client surface,
// the system menu, and the translation of Qt events into the dialog's messages.
#pragma once

#include <QDialog>
#include <QImage>
#include <utility>
#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/Menu.h"
#include "platform/Types.h"

class QMenu;

namespace platform {

class CDialog;

class DialogWindow : public QDialog {
    Q_OBJECT

public:
    DialogWindow(CDialog& dialog, const DialogTemplate& layout, QWidget* owner);
    ~DialogWindow() override;

    QImage& Surface() { return m_surface; }
    CMenu& SystemMenu() { return m_systemMenu; }
    void ResetSystemMenu();
    QWidget* Control(int id) const;
    const std::vector<std::pair<int, QWidget*>>& Controls() const { return m_controls; }
    void OpenSystemMenu();
    void CentreOver(QWidget* owner);
    void FocusFirstTabStop();
    void End(int result);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

public:
    void reject() override;  // Escape: the cancel command

private:
    void AddControl(const ControlTemplate& control);
    void MakeSurface(qreal devicePixelRatio);
    QPoint ClientPixel(const QMouseEvent& event) const;

    CDialog& m_dialog;
    QImage m_surface;
    QMenu* m_pMenu;
    CMenu m_systemMenu;
    std::vector<std::pair<int, QWidget*>> m_controls;
    bool m_bShown = false;
    bool m_bEnding = false;
};

}  // namespace platform
