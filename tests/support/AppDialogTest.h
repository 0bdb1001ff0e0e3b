// The set-up the program's dialog tests share: Dexlin's resources, the local
// clock at noon of a chosen day (15 June 1997, inside the built-in model's
// years, until UseDate moves it) and message boxes answered with OK, each one
// kept in `boxes`. TearDown puts the clock and the message boxes back.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <ctime>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/LocalTime.h"
#include "platform/MessageBox.h"
#include "platform/ResourceLookup.h"
#include "resources/DexlinResources.h"

namespace testsupport {

// A message box as the dialog asked for it.
struct ShownBox {
    bool hadOwner;
    bool windowVisible;  // any top-level window on the screen when it showed
    std::string text;
    std::string caption;
    platform::UINT type;
};

// Noon of a day, as the local clock gives it.
inline std::tm NoonOf(int year, int month, int day) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    return t;
}

// A dialog with a window on the commands that fall through its message table
// to the default processing.
template <typename Dialog>
class CommandProbe : public Dialog {
public:
    std::vector<platform::UINT> unhandledCommands;

protected:
    platform::LRESULT DefWindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override {
        if (message == platform::WM_COMMAND) unhandledCommands.push_back(static_cast<platform::UINT>(wParam & 0xFFFF));
        return Dialog::DefWindowProc(message, wParam, lParam);
    }
};

class AppDialogTest : public testing::Test {
protected:
    void SetUp() override {
        platform::SetResources(DexlinResources());
        UseDate(1997, 6, 15);
        platform::SetMessageBoxHandler(
            [this](platform::CDialog* owner, const std::string& text, const std::string& caption, platform::UINT type) {
                bool visible = false;
                for (QWidget* w : QApplication::topLevelWidgets()) visible = visible || w->isVisible();
                boxes.push_back({owner != nullptr, visible, text, caption, type});
                return platform::IDOK;
            });
    }
    void TearDown() override {
        platform::SetMessageBoxHandler({});
        platform::SetLocalTimeSource({});
    }
    static void UseDate(int year, int month, int day) {
        platform::SetLocalTimeSource([=] { return NoonOf(year, month, day); });
    }
    std::vector<ShownBox> boxes;
};

}  // namespace testsupport
