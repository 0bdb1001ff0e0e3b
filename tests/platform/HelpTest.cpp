// Help: the help file's path from the program's, the help command asking the
// engine for the dialog's context, the viewer at the topic or reporting what
// it cannot show, and the message when the engine cannot start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <array>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Help.h"
#include "platform/HelpViewer.h"
#include "platform/MessageBox.h"
#include "platform/Resources.h"
#include "platform/WinApp.h"
#include "tests/support/RunModal.h"

using namespace platform;
using testsupport::RunModal;

namespace {

constexpr UINT kDialog = 7200;
constexpr UINT kContext = HID_BASE_RESOURCE + kDialog;

const DialogTemplate kLayout{false,    0,
                             0,        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                             0,        0,
                             200,      100,
                             "Helped", 8,
                             0,        false,
                             0,        "MS Sans Serif",
                             {}};

struct EngineCall {
    QWidget* owner;
    std::string file;
    UINT command;
    std::uintptr_t data;
};

struct ShownBox {
    bool owned;
    std::string text;
    std::string caption;
    UINT type;
};

class HelpTest : public testing::Test {
protected:
    void SetUp() override {
        static const std::array<DialogResource, 1> dialogs{{{static_cast<int>(kDialog), &kLayout}}};
        static const std::array<StringResource, 1> strings{
            {{static_cast<int>(IDP_FAILED_TO_LAUNCH_HELP), "Failed to launch help."}}};
        SetResources({dialogs, strings, {}, {}});
        ASSERT_TRUE(dir.isValid());
        GetApp()->SetModulePath((dir.path() + "/bin.d/prog").toStdString());
        QDir(dir.path()).mkdir("bin.d");
        SetMessageBoxHandler([this](CDialog* owner, const std::string& text, const std::string& caption, UINT type) {
            boxes.push_back({owner != nullptr, text, caption, type});
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxHandler({});
        SetHelpEngine({});
        GetApp()->m_pMainWnd = nullptr;
    }
    QString HelpFile() const { return dir.path() + "/bin.d/prog.HLP"; }
    void WriteHelp(const QString& html) const {
        QFile f(HelpFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(html.toUtf8());
    }
    // Asks for help on the running dialog, as the help command does.
    HelpViewer* HelpOn(CDialog& dialog) {
        GetApp()->m_pMainWnd = &dialog;
        GetApp()->OnHelp();
        return HelpViewer::ForOwner(dialog.GetWindow());
    }

    QTemporaryDir dir;
    std::vector<ShownBox> boxes;
    CDialog dialog{kDialog};
};

}  // namespace

TEST(HelpFilePath, FileNamesExtensionReplacedOrAppendedNeverAFoldersPeriod) {
    const std::array<std::pair<const char*, const char*>, 8> cases{{
        {"/usr/bin/dexapp", "/usr/bin/dexapp.HLP"},
        {"/opt/APPS/PROG.EXE", "/opt/APPS/PROG.HLP"},
        {"/home/a.b/bin/dexapp", "/home/a.b/bin/dexapp.HLP"},
        {"/home/a.b/bin/dexapp.bin", "/home/a.b/bin/dexapp.HLP"},
        {"/opt/app.v2/prog.tar.gz", "/opt/app.v2/prog.tar.HLP"},
        {"/home/a/.dexapp", "/home/a/.dexapp.HLP"},
        {"/home/a/.dexapp.x", "/home/a/.dexapp.HLP"},
        {"prog", "prog.HLP"},
    }};
    for (const auto& [module, help] : cases) EXPECT_EQ(HelpFilePathFromModulePath(module), help) << module;
    EXPECT_EQ(AppNameFromModulePath("/home/a/.dexapp"), ".dexapp");
    EXPECT_EQ(AppNameFromModulePath("/home/a.b/bin/dexapp"), "dexapp");
}

TEST_F(HelpTest, HelpCommandAsksTheEngineForTheDialogsContextInTheHelpFile) {
    std::vector<EngineCall> calls;
    SetHelpEngine([&](QWidget* owner, const std::string& file, UINT command, std::uintptr_t data) {
        calls.push_back({owner, file, command, data});
        return TRUE;
    });
    RunModal(dialog, [&] {
        GetApp()->m_pMainWnd = &dialog;
        GetApp()->OnHelp();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].owner, dialog.GetWindow());
        EXPECT_EQ(calls[0].file, HelpFile().toStdString());
        EXPECT_EQ(calls[0].command, HELP_CONTEXT);
        EXPECT_EQ(calls[0].data, HID_BASE_RESOURCE + kDialog);
        EXPECT_TRUE(boxes.empty());
        dialog.EndDialog(IDOK);
    });
}

TEST_F(HelpTest, EngineThatCannotStartIsReportedInAMessageBoxAndTheDialogGoesOn) {
    SetHelpEngine([](QWidget*, const std::string&, UINT, std::uintptr_t) { return FALSE; });
    RunModal(dialog, [&] {
        GetApp()->m_pMainWnd = &dialog;
        GetApp()->OnHelp();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Failed to launch help.");
        EXPECT_EQ(boxes[0].caption, "prog") << "the application's name";
        EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_TRUE(dialog.GetWindow()->isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor is gone";
        dialog.EndDialog(IDOK);
    });
}

TEST_F(HelpTest, ViewerOpensBesideTheRunningDialogScrolledToTheTopic) {
    QString page = "<html><head><meta charset=\"utf-8\"></head><body><h1>Contents</h1>";
    for (int i = 0; i < 200; ++i) page += QString("<p>Line %1 before the topic.</p>").arg(i);
    page += QString("<h2><a name=\"%1\">The topic</a></h2><p>Here.</p>").arg(kContext);
    for (int i = 0; i < 50; ++i) page += "<p>After.</p>";
    WriteHelp(page + "</body></html>");
    RunModal(dialog, [&] {
        HelpViewer* viewer = HelpOn(dialog);
        testsupport::Settle();
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_TRUE(viewer->isWindow());
        EXPECT_EQ(viewer->windowModality(), Qt::NonModal);
        EXPECT_EQ(QApplication::activeModalWidget(), dialog.GetWindow()) << "the dialog stays the modal one";
        EXPECT_TRUE(viewer->Notice().isEmpty()) << viewer->Notice().toStdString();
        EXPECT_EQ(viewer->Browser()->source().fragment(), QString::number(kContext));
        EXPECT_GT(viewer->Browser()->verticalScrollBar()->value(), 0) << "scrolled down to the topic";
        EXPECT_TRUE(boxes.empty());

        // Asked again, the same viewer shows the topic again.
        viewer->Browser()->verticalScrollBar()->setValue(0);
        EXPECT_EQ(HelpOn(dialog), viewer);
        testsupport::Settle();
        EXPECT_GT(viewer->Browser()->verticalScrollBar()->value(), 0);
        dialog.EndDialog(IDOK);
    });
}

TEST_F(HelpTest, ViewerReportsAMissingFileAndAMissingTopicInItsWindow) {
    RunModal(dialog, [&] {
        HelpViewer* viewer = HelpOn(dialog);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_TRUE(viewer->Notice().contains("cannot be opened")) << viewer->Notice().toStdString();
        EXPECT_TRUE(viewer->Notice().contains(HelpFile()));
        EXPECT_TRUE(boxes.empty()) << "the viewer's to report, not a failure to start";

        WriteHelp("<html><body><h1><a name=\"other\">Another topic</a></h1></body></html>");
        HelpOn(dialog);
        EXPECT_TRUE(viewer->Notice().contains(QString("no topic for context %1").arg(kContext)))
            << viewer->Notice().toStdString();
        EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Another topic")) << "its first page is shown";

        // Once the file has the topic, the notice goes.
        WriteHelp(QString("<html><body><h1><a name=\"%1\">Found</a></h1></body></html>").arg(kContext));
        HelpOn(dialog);
        EXPECT_TRUE(viewer->Notice().isEmpty()) << viewer->Notice().toStdString();
        EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Found"));
        dialog.EndDialog(IDOK);
    });
}
