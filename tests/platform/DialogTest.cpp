// Dialogs built from templates: layout, buttons, commands, ending, the system
// menu, mouse messages and icons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <QScreen>
#include "platform/Icon.h"
#include "platform/Menu.h"
#include "platform/WinApp.h"
#include "tests/platform/TestDialog.h"
#include "tests/platform/TestResources.h"
#include "tests/support/RunModal.h"

using namespace platform;
using testsupport::RunModal;

namespace {

// The test program's application object: it serves one command.
class TestApp : public CWinApp {
public:
    int servedCommands = 0;

protected:
    std::span<const AppCommandEntry> GetCommandMap() const override;

private:
    void OnServed() { ++servedCommands; }
    static const AppCommandEntry kCommands[];
};
const AppCommandEntry TestApp::kCommands[] = {AppCommand<testres::kServed, &TestApp::OnServed>()};
std::span<const AppCommandEntry> TestApp::GetCommandMap() const { return kCommands; }
TestApp theApp;

class DialogTest : public testing::Test {
protected:
    void SetUp() override {
        testres::Install();
        theApp.servedCommands = 0;
    }
    TestDialog dialog;
};

QAbstractButton* Button(const CDialog& d, int id) { return qobject_cast<QAbstractButton*>(d.GetDlgItem(id)); }

}  // namespace

TEST(DialogUnits, TruncateAtSixByThirteenPixelsPerFourByEightUnits) {
    EXPECT_EQ(DialogUnitsToPixelsX(425), 637);
    EXPECT_EQ(DialogUnitsToPixelsY(279), 453);
    EXPECT_EQ(DialogUnitsToPixelsY(14), 22);    // 22.75
    EXPECT_EQ(DialogUnitsToPixelsY(258), 419);  // 419.25
    EXPECT_EQ(DialogUnitsToPixelsX(3), 4);      // 4.5
}

TEST_F(DialogTest, LayoutFollowsTheTemplateInPixels) {
    RunModal(dialog, [&] {
        QWidget* window = dialog.GetWindow();
        ASSERT_NE(window, nullptr);
        CRect client;
        dialog.GetClientRect(&client);
        EXPECT_EQ(client, (CRect{0, 0, 637, 453}));
        EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "fixed size";
        EXPECT_EQ(window->windowTitle().toStdString(), testres::kTitle) << "title shown literally, & included";
        EXPECT_EQ(dialog.GetDlgItem(testres::kGo)->geometry(), QRect(552, 390, 75, 22));
        EXPECT_EQ(dialog.GetDlgItem(testres::kOther)->geometry(), QRect(552, 419, 75, 22));
        EXPECT_EQ(Button(dialog, testres::kGo)->text(), "&Go");
        EXPECT_FALSE(dialog.GetDlgItem(testres::kDisabled)->isEnabled());
        EXPECT_TRUE(dialog.GetDlgItem(testres::kOther)->isEnabled());
        EXPECT_EQ(qobject_cast<QLabel*>(dialog.GetDlgItem(testres::kLabel))->text(), "a&b c");
        // Owned by nobody: centred on the screen.
        const QRect screen = window->screen()->availableGeometry();
        EXPECT_LE(std::abs(window->frameGeometry().center().x() - screen.center().x()), 1)
            << window->geometry().x() << " " << screen.width();
        EXPECT_LE(std::abs(window->frameGeometry().center().y() - screen.center().y()), 1)
            << window->geometry().y() << " " << screen.height();
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.GetWindow(), nullptr);
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonOrTheFocusedOne) {
    RunModal(dialog, [&] {
        auto* go = qobject_cast<QPushButton*>(dialog.GetDlgItem(testres::kGo));
        EXPECT_TRUE(go->isDefault());
        EXPECT_TRUE(go->hasFocus()) << "OnInitDialog returned TRUE: focus on the first tab stop";
        QTest::keyClick(dialog.GetWindow(), Qt::Key_Return);
        EXPECT_EQ(dialog.goClicks, 1);
        // Tab order follows the template: Go, Other, (Off is disabled), Served.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), dialog.GetDlgItem(testres::kOther));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), dialog.GetDlgItem(testres::kServed));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(theApp.servedCommands, 1) << "Enter on a focused push button presses it";
        EXPECT_EQ(dialog.goClicks, 1);
        dialog.EndDialog(IDOK);
    });
}

TEST_F(DialogTest, ApplicationCommandsShowTheirControlsAndReachTheApplication) {
    RunModal(dialog, [&] {
        EXPECT_FALSE(dialog.GetDlgItem(testres::kServed)->isHidden());
        EXPECT_TRUE(dialog.GetDlgItem(testres::kUnserved)->isHidden());
        Button(dialog, testres::kServed)->click();
        EXPECT_EQ(theApp.servedCommands, 1);
        // A command of nobody's goes nowhere and ends nothing.
        EXPECT_EQ(dialog.SendMessage(WM_COMMAND, MAKEWPARAM(testres::kUnserved, BN_CLICKED)), 0);
        EXPECT_TRUE(dialog.GetWindow()->isVisible());
        dialog.EndDialog(IDOK);
    });
}

TEST_F(DialogTest, EscapeEndsTheDialogAsCancelAndDestroysItOnce) {
    const int result = RunModal(dialog, [&] { QTest::keyClick(dialog.GetWindow(), Qt::Key_Escape); });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.destroys, 1);
}

TEST_F(DialogTest, CloseBoxIsTheSystemMenusCloseAndEndsTheDialog) {
    const int result = RunModal(dialog, [&] { dialog.GetWindow()->close(); });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.sysCommands, std::vector<UINT>{SC_CLOSE});
    EXPECT_EQ(dialog.destroys, 1);
}

TEST_F(DialogTest, CloseBoxThatTheDialogKeepsForItselfDoesNotEndIt) {
    dialog.passSysCommands = false;
    const int result = RunModal(dialog, [&] { dialog.GetWindow()->close(); });
    EXPECT_EQ(result, testsupport::kNotEnded);
}

TEST_F(DialogTest, SystemMenuHasCloseAndAppendedItemsRoutedToTheHandler) {
    const int result = RunModal(dialog, [&] {
        CMenu* menu = dialog.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->GetMenuItemCount(), 1);
        EXPECT_EQ(menu->GetMenuItemID(0), SC_CLOSE);
        EXPECT_EQ(menu->GetMenuString(0), "&Close");
        menu->AppendMenu(MF_SEPARATOR);
        menu->AppendMenu(MF_STRING, 0x20, "&Extra...");
        ASSERT_EQ(menu->GetMenuItemCount(), 3);
        EXPECT_EQ(menu->GetMenuItemID(1), 0u);
        EXPECT_EQ(menu->GetMenuString(2), "&Extra...");

        // Alt+Space opens it.
        QTest::keyClick(dialog.GetWindow(), Qt::Key_Space, Qt::AltModifier);
        EXPECT_TRUE(menu->GetQMenu()->isVisible());
        menu->GetQMenu()->hide();
        EXPECT_EQ(dialog.goClicks, 0) << "Alt+Space is not a press of the focused button";

        menu->GetQMenu()->actions().at(2)->trigger();
        EXPECT_EQ(dialog.sysCommands, std::vector<UINT>{0x20});
        EXPECT_TRUE(dialog.GetWindow()->isVisible()) << "an unknown system command ends nothing";
        menu->GetQMenu()->actions().at(0)->trigger();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.sysCommands, (std::vector<UINT>{0x20, SC_CLOSE}));
}

TEST_F(DialogTest, ContextMenuKeyOpensTheSystemMenu) {
    RunModal(dialog, [&] {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
        QApplication::sendEvent(dialog.GetWindow(), &event);
        EXPECT_TRUE(dialog.GetSystemMenu(FALSE)->GetQMenu()->isVisible());
        dialog.GetSystemMenu(FALSE)->GetQMenu()->hide();
        // The Menu key itself, pressed on the focused control (window
        // managers keep Alt+Space for their own menu; this key stays ours).
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Menu);
        EXPECT_TRUE(dialog.GetSystemMenu(FALSE)->GetQMenu()->isVisible());
        dialog.GetSystemMenu(FALSE)->GetQMenu()->hide();
        // A right click is the dialog's, not the menu's.
        QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QApplication::sendEvent(dialog.GetWindow(), &mouse);
        EXPECT_FALSE(dialog.GetSystemMenu(FALSE)->GetQMenu()->isVisible());
        dialog.EndDialog(IDOK);
    });
}

TEST_F(DialogTest, MouseMessagesCarryClientPointsAndKeyState) {
    RunModal(dialog, [&] {
        QWidget* w = dialog.GetWindow();
        QMouseEvent move(QEvent::MouseMove, QPointF(10, 20), w->mapToGlobal(QPointF(10, 20)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QMouseEvent again(QEvent::MouseMove, QPointF(0, 0), w->mapToGlobal(QPointF(0, 0)), Qt::NoButton, Qt::NoButton,
                          Qt::ShiftModifier);
        QApplication::sendEvent(w, &again);
        QMouseEvent left(QEvent::MouseButtonPress, QPointF(634, 378), w->mapToGlobal(QPointF(634, 378)), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &left);
        QMouseEvent leftUp(QEvent::MouseButtonRelease, QPointF(634, 378), w->mapToGlobal(QPointF(634, 378)),
                           Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &leftUp);
        QMouseEvent right(QEvent::MouseButtonPress, QPointF(3, 4), w->mapToGlobal(QPointF(3, 4)), Qt::RightButton,
                          Qt::RightButton, Qt::ControlModifier);
        QApplication::sendEvent(w, &right);
        dialog.EndDialog(IDOK);
    });
    ASSERT_EQ(dialog.mouse.size(), 4u);
    EXPECT_EQ(dialog.mouse[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(dialog.mouse[0].flags, 0u);
    EXPECT_EQ(dialog.mouse[0].point, (CPoint{10, 20}));
    EXPECT_EQ(dialog.mouse[1].flags, MK_SHIFT);
    EXPECT_EQ(dialog.mouse[1].point, (CPoint{0, 0}));
    EXPECT_EQ(dialog.mouse[2].message, WM_LBUTTONDOWN);
    EXPECT_EQ(dialog.mouse[2].flags, MK_LBUTTON);
    EXPECT_EQ(dialog.mouse[2].point, (CPoint{634, 378}));
    EXPECT_EQ(dialog.mouse[3].message, WM_RBUTTONDOWN);
    EXPECT_EQ(dialog.mouse[3].flags, MK_RBUTTON | MK_CONTROL);
}

TEST_F(DialogTest, IconsAreSharedHandlesSetOnTheWindow) {
    const HICON icon = LoadIconResource(testres::kIcon);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconResource(testres::kIcon), icon);
    EXPECT_EQ(LoadIconResource(9999), nullptr);
    RunModal(dialog, [&] {
        EXPECT_EQ(dialog.SetIcon(icon, ICON_BIG), nullptr);
        EXPECT_EQ(dialog.SetIcon(icon, ICON_SMALL), nullptr);
        EXPECT_EQ(dialog.GetIcon(ICON_BIG), icon);
        EXPECT_EQ(dialog.GetIcon(ICON_SMALL), icon);
        EXPECT_FALSE(dialog.GetWindow()->windowIcon().isNull());
        dialog.EndDialog(IDOK);
    });
}

// Unowned: the frame's centre is the work area's centre, to the pixel, for an
// odd and an even size alike (QRect's centre of an even span rounds down).
TEST_F(DialogTest, UnownedDialogIsCentredExactlyOddOrEven) {
    struct Row {
        UINT id;
        QSize client;
    };
    for (const Row& row : {Row{testres::kDialog, {637, 453}}, Row{testres::kEvenDialog, {636, 442}}}) {
        CDialog d(row.id);
        RunModal(d, [&] {
            QWidget* window = d.GetWindow();
            EXPECT_EQ(window->size(), row.client);
            const QRect frame = window->frameGeometry();
            const QRect work = window->screen()->availableGeometry();
            EXPECT_EQ(frame.center(), work.center()) << row.client.width() << " x " << row.client.height();
            EXPECT_EQ(frame.left() - work.left(), (work.width() - frame.width()) / 2);
            d.EndDialog(IDOK);
        });
    }
}

TEST_F(DialogTest, UnownedDialogOpenedWhileTheMainWindowRunsIsCentredOverIt) {
    RunModal(dialog, [&] {
        theApp.m_pMainWnd = &dialog;
        dialog.GetWindow()->move(dialog.GetWindow()->pos() + QPoint(-40, 30));
        TestDialog inner;
        RunModal(inner, [&] {
            EXPECT_EQ(inner.GetWindow()->parentWidget(), dialog.GetWindow());
            EXPECT_EQ(inner.GetWindow()->frameGeometry(), dialog.GetWindow()->frameGeometry());
            inner.EndDialog(IDOK);
        });
        theApp.m_pMainWnd = nullptr;
        dialog.EndDialog(IDOK);
    });
}

TEST_F(DialogTest, MissingTemplateGivesMinusOne) {
    CDialog missing(12345);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(ApplicationNames, FromTheProgramFileNameNeverAFolder) {
    EXPECT_EQ(AppNameFromModulePath("/usr/bin/dexapp"), "dexapp");
    EXPECT_EQ(HelpFilePathFromModulePath("/usr/bin/dexapp"), "/usr/bin/dexapp.HLP");
    EXPECT_EQ(AppNameFromModulePath("/opt/APPS/PROG.EXE"), "PROG");
    EXPECT_EQ(HelpFilePathFromModulePath("/opt/APPS/PROG.EXE"), "/opt/APPS/PROG.HLP");
    EXPECT_EQ(AppNameFromModulePath("/opt/app.v2/prog"), "prog");
    EXPECT_EQ(HelpFilePathFromModulePath("/opt/app.v2/prog"), "/opt/app.v2/prog.HLP");
    EXPECT_EQ(HelpFilePathFromModulePath("/opt/app.v2/prog.tar.gz"), "/opt/app.v2/prog.tar.HLP");
    EXPECT_EQ(AppNameFromModulePath("prog.bin"), "prog");
}
