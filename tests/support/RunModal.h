// Runs a dialog modally and, once its loop runs, a test body inside it.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/Dialog.h"

namespace testsupport {

// The body runs inside the modal loop; it must end the dialog. Should it not,
// the dialog is ended with kNotEnded so a failing test cannot hang.
inline constexpr int kNotEnded = -77;

inline int RunModal(platform::CDialog& dialog, std::function<void()> body) {
    QTimer::singleShot(0, [&dialog, body = std::move(body)] {
        QApplication::setActiveWindow(dialog.GetWindow());  // as a click on it would
        (void)QTest::qWaitForWindowExposed(dialog.GetWindow());
        body();
        if (dialog.GetWindow() != nullptr && dialog.GetWindow()->isVisible()) dialog.EndDialog(kNotEnded);
    });
    return dialog.DoModal();
}

// Handles the events queued so far (paints, updates), a bounded number of rounds.
inline void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace testsupport
