// The about box and help of the main dialog on the offscreen platform, with
// the local date, the message box and the help engine replaced.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/DexlinApp.h"
#include "app/DexlinDlg.h"
#include "platform/Help.h"
#include "platform/HelpViewer.h"
#include "platform/LocalTime.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/OwnerDrawButton.h"
#include "platform/Region.h"
#include "platform/ResourceLookup.h"
#include "resources/DexlinResources.h"
#include "resources/resource.h"
#include "tests/support/AppDialogTest.h"
#include "tests/support/ImageDifferences.h"
#include "tests/support/RunModal.h"

using platform::UINT;
using testsupport::Differences;
using testsupport::RunModal;

CDexlinApp theApp;

namespace {

constexpr UINT kMainHelpContext = 131174;  // HID_BASE_RESOURCE + template 102

struct EngineCall {
    QWidget* owner;
    std::string file;
    UINT command;
    std::uintptr_t data;
};

// The main dialog's state that neither service may change.
struct DialogState {
    double modelYear, startLat, startLon, destLat, destLon;
    platform::CPoint startMarker, destMarker;
    platform::BOOL startSet, destSet, startDrawn, destDrawn;
    bool operator==(const DialogState&) const = default;
};

DialogState StateOf(const CDexlinDlg& d) {
    return {d.m_dModelYear,   d.m_dStartLat, d.m_dStartLon, d.m_dDestLat,    d.m_dDestLon,  d.m_ptStartMarker,
            d.m_ptDestMarker, d.m_bStartSet, d.m_bDestSet,  d.m_bStartDrawn, d.m_bDestDrawn};
}

// Both ends chosen, as the clicks would leave them.
void ChooseEnds(CDexlinDlg& d) {
    d.m_dStartLat = 51.5;
    d.m_dStartLon = -0.1;
    d.m_dDestLat = 40.7;
    d.m_dDestLon = -74.0;
    d.m_ptStartMarker = {318, 120};
    d.m_ptDestMarker = {190, 160};
    d.m_bStartSet = d.m_bDestSet = d.m_bStartDrawn = d.m_bDestDrawn = platform::TRUE;
}

QImage AdvertPicture() {
    const platform::BitmapResource* b = platform::FindBitmap("ADVERTU");
    return b != nullptr ? QImage(QString::fromUtf8(b->path)).convertToFormat(QImage::Format_RGB32) : QImage();
}

// The about box as the main dialog opens it: inspected and closed inside its
// own modal loop.
struct AboutOpening {
    QWidget* window = nullptr;
    QString title;
    bool pictureDisabled = false;
    bool ownedByMain = false;
};

void WhenAboutOpens(QWidget* main, std::vector<AboutOpening>& seen, const std::function<void(QWidget*)>& close) {
    QTimer::singleShot(0, [main, &seen, close] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr || box == main) return;  // nothing opened: the test sees no opening
        AboutOpening opening{box, box->windowTitle()};
        for (auto* b : box->findChildren<platform::OwnerDrawButton*>())
            if (b->text() == "ADVERT") opening.pictureDisabled = !b->isEnabled();
        opening.ownedByMain = box->parentWidget() == main;
        seen.push_back(opening);
        close(box);
    });
}

class AboutHelpTest : public testsupport::AppDialogTest {
protected:
    void SetUp() override {
        AppDialogTest::SetUp();
        theApp.SetModulePath(DEXLIN_PROGRAM);
    }
    void TearDown() override {
        AppDialogTest::TearDown();
        platform::SetHelpEngine({});
    }
};

using ProbeAboutDlg = testsupport::CommandProbe<CAboutDlg>;

}  // namespace

TEST_F(AboutHelpTest, AboutBoxShowsThePictureDisabledAtTheTopLeftWithTheNoticeAndOk) {
    const QImage advert = AdvertPicture();
    ASSERT_EQ(advert.size(), QSize(656, 415));
    ProbeAboutDlg dlg;
    const int result = RunModal(dlg, [&] {
        QWidget* box = dlg.GetWindow();
        EXPECT_EQ(box->windowTitle(), "Other products.");
        EXPECT_EQ(box->size(), QSize(654, 443)) << "436 x 273 dialog units";

        auto* picture = qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDC_ADVERT));
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(dlg.m_btnAdvert.GetButton(), picture);
        EXPECT_EQ(picture->geometry(), QRect(0, 0, 656, 415));
        EXPECT_FALSE(picture->isEnabled());
        EXPECT_EQ(picture->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(Differences(picture->grab().toImage().convertToFormat(QImage::Format_RGB32), advert), 0)
            << "the picture, unscaled";

        QLabel* notice = nullptr;
        for (auto* label : box->findChildren<QLabel*>()) notice = label;
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(notice->text(), "Dexlin 1.0 - magnetic model: 1995.0 reference field, valid 1995 to 2000.");
        EXPECT_FALSE(notice->isHidden());
        auto* ok = qobject_cast<QPushButton*>(dlg.GetDlgItem(platform::IDOK));
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(QApplication::focusWidget(), ok) << "the first control that takes the focus";

        // Clicking the picture does nothing; Tab never reaches it.
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(300, 200));
        EXPECT_TRUE(dlg.unhandledCommands.empty());
        EXPECT_TRUE(box->isVisible());
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_NE(QApplication::focusWidget(), picture) << "after Tab " << i + 1;
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // OK
    });
    EXPECT_EQ(result, platform::IDOK);
}

// The notice names the model in use; the reference field keeps the template's.
TEST_F(AboutHelpTest, AboutNoticeNamesTheFieldModel) {
    // A file's name in full up to 40 characters, cut with "..." past them.
    model::FieldModel forty = model::Wmm2025();
    forty.name = std::string(40, 'N');
    model::FieldModel fortyOne = forty;
    fortyOne.name += 'X';
    const QString nameOfForty(40, u'N');
    const std::pair<const model::FieldModel*, QString> rows[] = {
        {nullptr, "Dexlin 1.0 - magnetic model: 1995.0 reference field, valid 1995 to 2000."},
        {&model::ReferenceField1995(), "Dexlin 1.0 - magnetic model: 1995.0 reference field, valid 1995 to 2000."},
        {&model::Wmm2025(), "Dexlin 1.0 - magnetic model: WMM2025, valid 2025 to 2030."},
        {&forty, "Dexlin 1.0 - magnetic model: " + nameOfForty + ", valid 2025 to 2030."},
        {&fortyOne, "Dexlin 1.0 - magnetic model: " + nameOfForty + "..., valid 2025 to 2030."},
    };
    for (const auto& [fieldModel, notice] : rows) {
        CAboutDlg dlg(fieldModel);
        RunModal(dlg, [&, notice = notice] {
            QLabel* label = dlg.GetWindow()->findChild<QLabel*>();
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text(), notice);
            dlg.EndDialog(platform::IDOK);
        });
    }
}

TEST_F(AboutHelpTest, OkEscapeAndTheCloseBoxEndTheAboutBox) {
    const std::vector<std::pair<const char*, std::function<void(CAboutDlg&)>>> enders{
        {"OK", [](CAboutDlg& d) { qobject_cast<QAbstractButton*>(d.GetDlgItem(platform::IDOK))->click(); }},
        {"Escape", [](CAboutDlg& d) { QTest::keyClick(d.GetWindow(), Qt::Key_Escape); }},
        {"close box", [](CAboutDlg& d) { d.GetWindow()->close(); }},
    };
    for (const auto& [name, end] : enders) {
        CAboutDlg dlg;
        const int result = RunModal(dlg, [&, end = end] { end(dlg); });
        EXPECT_NE(result, testsupport::kNotEnded) << name;
        EXPECT_EQ(dlg.GetWindow(), nullptr) << name;
    }
}

TEST_F(AboutHelpTest, AboutBoxOpensAfreshFromTheButtonEnterAndTheSystemMenuAndChangesNothing) {
    CDexlinDlg dlg;
    ChooseEnds(dlg);
    const DialogState before = StateOf(dlg);
    std::vector<AboutOpening> seen;
    RunModal(dlg, [&] {
        QWidget* main = dlg.GetWindow();
        theApp.m_pMainWnd = &dlg;
        auto* about = qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDC_ABOUT));
        ASSERT_NE(about, nullptr);

        WhenAboutOpens(main, seen, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        about->click();
        ASSERT_EQ(seen.size(), 1u) << "About button";

        // Enter with no other push button focused: the default About button.
        dlg.GetWindow()->setFocus();
        WhenAboutOpens(main, seen, [](QWidget* box) { box->close(); });
        QTest::keyClick(main, Qt::Key_Return);
        ASSERT_EQ(seen.size(), 2u) << "Enter";

        WhenAboutOpens(main, seen, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
        QAction* entry = dlg.GetSystemMenu(platform::FALSE)->GetQMenu()->actions().last();
        entry->trigger();
        ASSERT_EQ(seen.size(), 3u) << "system menu";

        // The command as the platform may send it, with its low bits set.
        WhenAboutOpens(main, seen, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        dlg.SendMessage(platform::WM_SYSCOMMAND, IDM_ABOUT | 0x3, 0);
        ASSERT_EQ(seen.size(), 4u) << "system command with low bits";

        EXPECT_TRUE(main->isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), main);
        QTest::keyClick(main, Qt::Key_Escape);
    });
    for (const AboutOpening& o : seen) {
        EXPECT_EQ(o.title, "Other products.");
        EXPECT_TRUE(o.pictureDisabled);
        EXPECT_TRUE(o.ownedByMain);
    }
    EXPECT_TRUE(StateOf(dlg) == before);
    EXPECT_TRUE(boxes.empty());
}

// When the about box closes, however it was opened or closed, the main
// window is the active one again with its focus where it was (a bare X
// server would otherwise leave the focus on no window, and keys reach nothing).
TEST_F(AboutHelpTest, ClosingTheAboutBoxGivesActivationAndFocusBackToTheMainWindow) {
    struct Case {
        const char* name;
        int focusedId;  // control focused before; 0: the map
        std::function<void(QWidget*)> close;
    };
    const std::vector<Case> cases{
        {"About button, OK", IDC_ABOUT, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); }},
        {"Help button focused, Escape", ID_HELP, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); }},
        {"map focused, close box", 0, [](QWidget* box) { box->close(); }},
    };
    for (const Case& c : cases) {
        CDexlinDlg dlg;
        std::vector<AboutOpening> seen;
        RunModal(dlg, [&] {
            theApp.m_pMainWnd = &dlg;
            QWidget* main = dlg.GetWindow();
            QWidget* focused = c.focusedId != 0 ? dlg.GetDlgItem(c.focusedId)
                                                : static_cast<QWidget*>(dlg.GetRegion(CDexlinDlg::kMapRegion));
            ASSERT_NE(focused, nullptr) << c.name;
            focused->setFocus(Qt::TabFocusReason);
            WhenAboutOpens(main, seen, c.close);
            dlg.SendMessage(platform::WM_SYSCOMMAND, IDM_ABOUT, 0);
            ASSERT_EQ(seen.size(), 1u) << c.name;
            testsupport::Settle();
            EXPECT_EQ(QApplication::activeWindow(), main) << c.name;
            EXPECT_EQ(QApplication::focusWidget(), focused) << c.name;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        EXPECT_EQ(dlg.GetWindow(), nullptr) << c.name << ": Escape reached the main window";
    }
}

TEST_F(AboutHelpTest, HelpButtonAsksTheEngineForTheMainDialogsTopicBesideTheProgram) {
    std::vector<EngineCall> calls;
    platform::SetHelpEngine([&](QWidget* owner, const std::string& file, UINT command, std::uintptr_t data) {
        calls.push_back({owner, file, command, data});
        return platform::TRUE;
    });
    CDexlinDlg dlg;
    ChooseEnds(dlg);
    const DialogState before = StateOf(dlg);
    RunModal(dlg, [&] {
        theApp.m_pMainWnd = &dlg;
        auto* help = qobject_cast<QAbstractButton*>(dlg.GetDlgItem(ID_HELP));
        ASSERT_NE(help, nullptr);
        EXPECT_FALSE(help->isHidden()) << "shown: the application serves help";
        help->click();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].owner, dlg.GetWindow());
        EXPECT_EQ(calls[0].file, std::string(DEXLIN_PROGRAM) + ".HLP");
        EXPECT_EQ(calls[0].command, platform::HELP_CONTEXT);
        EXPECT_EQ(calls[0].data, kMainHelpContext);
        EXPECT_TRUE(dlg.GetWindow()->isVisible());
        QTest::keyClick(dlg.GetWindow(), Qt::Key_Escape);
    });
    EXPECT_TRUE(StateOf(dlg) == before);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AboutHelpTest, HelpEngineThatCannotStartGivesTheFrameworksMessageAndChangesNothing) {
    platform::SetHelpEngine([](QWidget*, const std::string&, UINT, std::uintptr_t) { return platform::FALSE; });
    CDexlinDlg dlg;
    ChooseEnds(dlg);
    const DialogState before = StateOf(dlg);
    RunModal(dlg, [&] {
        theApp.m_pMainWnd = &dlg;
        qobject_cast<QAbstractButton*>(dlg.GetDlgItem(ID_HELP))->click();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Failed to launch help.");
        EXPECT_EQ(boxes[0].caption, "dexlin");
        EXPECT_EQ(boxes[0].type, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        EXPECT_TRUE(dlg.GetWindow()->isVisible());
        QTest::keyClick(dlg.GetWindow(), Qt::Key_Escape);
    });
    EXPECT_TRUE(StateOf(dlg) == before);
}

TEST_F(AboutHelpTest, ShippedHelpFileOpensAtTheMainDialogsTopic) {
    CDexlinDlg dlg;
    RunModal(dlg, [&] {
        theApp.m_pMainWnd = &dlg;
        qobject_cast<QAbstractButton*>(dlg.GetDlgItem(ID_HELP))->click();
        platform::HelpViewer* viewer = platform::HelpViewer::ForOwner(dlg.GetWindow());
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_TRUE(viewer->Notice().isEmpty()) << viewer->Notice().toStdString();
        EXPECT_EQ(viewer->Browser()->source().fragment(), QString::number(kMainHelpContext));
        // Over none of the panel below the map (rows 379 to 452), on whatever screen.
        const QWidget* main = dlg.GetWindow();
        const QRect panel(main->mapToGlobal(QPoint(0, 379)), QSize(main->width(), main->height() - 379));
        EXPECT_FALSE(viewer->frameGeometry().intersects(panel))
            << viewer->frameGeometry().x() << "," << viewer->frameGeometry().y() << " "
            << viewer->frameGeometry().width() << "x" << viewer->frameGeometry().height() << " panel " << panel.y()
            << " on a screen of " << main->screen()->availableGeometry().width() << " x "
            << main->screen()->availableGeometry().height();
        EXPECT_GE(viewer->width(), 300);
        EXPECT_GE(viewer->height(), 240);
        const QString text = viewer->Browser()->toPlainText();
        for (const char* topic :
             {"nautical miles", "degrees true", "1995.0 to 2000.0", "Mercator", "Alt+Space", "Escape", "Enter", "51° N",
              "Menu key", "Shift+arrow keys", "Space or S", "D or Shift+Space", "Home", "Ctrl+W", "dexlin-query field",
              "dexlin --model wmm2025", "faketime", "This version of Dexlin only accepts"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
        EXPECT_TRUE(boxes.empty());
        QTest::keyClick(dlg.GetWindow(), Qt::Key_Escape);
    });
}

namespace {

// What a dark desktop may not change: the about box's notice strip below its
// picture (with the OK button) and the main dialog's two buttons on the
// yellow panel.
struct Looks {
    QImage strip, about, help;
};

Looks CaptureLooks() {
    Looks looks;
    CAboutDlg box;
    RunModal(box, [&] {
        looks.strip = box.GetWindow()->grab(QRect(0, 415, 654, 28)).toImage().convertToFormat(QImage::Format_RGB32);
        box.EndDialog(platform::IDOK);
    });
    CDexlinDlg main;
    RunModal(main, [&] {
        looks.about = main.GetDlgItem(IDC_ABOUT)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        looks.help = main.GetDlgItem(ID_HELP)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        main.EndDialog(platform::IDCANCEL);
    });
    return looks;
}

int DarkPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) < 96;
    return n;
}

}  // namespace

TEST_F(AboutHelpTest, DarkDesktopLeavesTheNoticeStripAndTheButtonsLight) {
    const QPalette original = QApplication::palette();
    const Looks light = CaptureLooks();
    ASSERT_FALSE(light.strip.isNull());
    const QRgb face = light.strip.pixel(500, 3);  // left of OK, above the notice's text
    ASSERT_GT(qGray(face), 200) << "a light face to begin with";

    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    const Looks underPalette = CaptureLooks();
    QApplication::setPalette(original);
    EXPECT_EQ(underPalette.strip, light.strip) << "notice strip under a dark palette";
    EXPECT_EQ(underPalette.about, light.about) << "About button under a dark palette";
    EXPECT_EQ(underPalette.help, light.help) << "Help button under a dark palette";

    // A style sheet outranks every palette: faces and buttons light, texts dark.
    qApp->setStyleSheet(QStringLiteral("* { background-color: #202020; color: #f0f0f0; }"));
    const Looks underSheet = CaptureLooks();
    qApp->setStyleSheet(QString());
    EXPECT_EQ(underSheet.strip.pixel(500, 3), face) << "notice strip under a dark style sheet";
    EXPECT_GT(DarkPixels(underSheet.strip), 50) << "the notice's and OK's texts stay dark";
    for (const QImage& button : {underSheet.about, underSheet.help}) {
        EXPECT_GT(qGray(button.pixel(4, button.height() / 2)), 200) << "button face";
        EXPECT_GT(DarkPixels(button), 10) << "button text and border";
        EXPECT_LT(DarkPixels(button), button.width() * button.height() / 3) << "not a dark button";
    }
}
