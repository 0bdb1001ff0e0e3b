// Help: the help file's path from the program's, the help command asking the
// engine for the dialog's context, the viewer at the topic or reporting what
// it cannot show, and the message when the engine cannot start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
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
        EXPECT_EQ(viewer->windowTitle(), "Help") << "no file path in the title";
        EXPECT_TRUE(boxes.empty()) << "the viewer's to report, not a failure to start";

        WriteHelp("<html><body><h1><a name=\"other\">Another topic</a></h1></body></html>");
        HelpOn(dialog);
        EXPECT_TRUE(viewer->Notice().contains(QString("no topic for context %1").arg(kContext)))
            << viewer->Notice().toStdString();
        EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Another topic")) << "its first page is shown";

        // Once the file has the topic, the notice goes.
        WriteHelp(QString("<html><head><title>Dexlin  Help</title></head><body><h1><a name=\"%1\">Found</a></h1>"
                          "</body></html>")
                      .arg(kContext));
        HelpOn(dialog);
        EXPECT_TRUE(viewer->Notice().isEmpty()) << viewer->Notice().toStdString();
        EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Found"));
        EXPECT_EQ(viewer->windowTitle(), "Dexlin Help") << "the document's own title";
        dialog.EndDialog(IDOK);
    });
}

// The viewer's place as a function of rectangles (screen pixels; a viewer of
// 640 x 520, at least 300 x 240, 8 pixels from its owner). The owner is the
// 637 x 453 main window with its panel in rows 380 to 452.
struct Placement {
    const char* name;
    QRect work, owner;
    QRect expected;
};
QRect PanelOf(const QRect& owner) { return QRect(owner.left(), owner.top() + 380, owner.width(), 73); }

TEST(HelpPlacement, BesideTheOwnerWhereItFitsElseOverTheLeastOfItAndNoneOfItsPanel) {
    const std::vector<Placement> rows{
        {"room on the right: whole, beside the owner, level with its top", QRect(0, 0, 1920, 1080),
         QRect(100, 100, 637, 453), QRect(745, 100, 640, 520)},
        {"owner at the right edge: on its left", QRect(0, 0, 1920, 1080), QRect(1283, 100, 637, 453),
         QRect(635, 100, 640, 520)},
        {"right strip one pixel short of the width: shrunk there, not over the owner", QRect(0, 0, 1384, 600),
         QRect(0, 0, 737, 453), QRect(745, 0, 639, 520)},
        {"1280 x 1024, owner centred: below it, shrunk to the free rows", QRect(0, 0, 1280, 1024),
         QRect(321, 285, 637, 453), QRect(321, 746, 640, 278)},
        {"1024 x 768, owner centred: over the map's right part, cut off above the panel", QRect(0, 0, 1024, 768),
         QRect(193, 157, 637, 453), QRect(384, 248, 640, 289)},
        {"a work area the owner fills: over the map only", QRect(0, 0, 637, 453), QRect(0, 0, 637, 453),
         QRect(0, 0, 637, 380)},
        {"no room beside it and the strip below too short: over the map, cut off above the panel rather than less "
         "over the owner",
         QRect(0, 0, 900, 691), QRect(0, 0, 637, 453), QRect(260, 0, 640, 380)},
        {"work area not at the origin (a panel on the left)", QRect(64, 0, 1856, 1080), QRect(64, 0, 637, 453),
         QRect(709, 0, 640, 520)},
    };
    for (const Placement& p : rows) {
        const QRect placed = PlaceWindowBeside(p.work, p.owner, PanelOf(p.owner), QSize(640, 520), QSize(300, 240), 8);
        EXPECT_EQ(placed, p.expected) << p.name << ": " << placed.x() << "," << placed.y() << " " << placed.width()
                                      << "x" << placed.height();
        EXPECT_TRUE(p.work.contains(placed)) << p.name;
        EXPECT_FALSE(placed.intersects(PanelOf(p.owner))) << p.name;
    }
}

TEST_F(HelpTest, EscapeAndCtrlWCloseTheViewer) {
    WriteHelp(QString("<html><body><h1><a name=\"%1\">Topic</a></h1></body></html>").arg(kContext));
    RunModal(dialog, [&] {
        for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
            HelpViewer* viewer = HelpOn(dialog);
            QApplication::setActiveWindow(viewer);
            viewer->Browser()->setFocus();
            ASSERT_TRUE(viewer->isVisible());
            QTest::keySequence(viewer->Browser(), keys);
            EXPECT_FALSE(viewer->isVisible()) << keys.toString().toStdString();
            EXPECT_TRUE(dialog.GetWindow()->isVisible()) << "the dialog stays";
            testsupport::Settle();
            EXPECT_EQ(QApplication::activeWindow(), dialog.GetWindow()) << "and is active again";
        }
        dialog.EndDialog(IDOK);
    });
}
