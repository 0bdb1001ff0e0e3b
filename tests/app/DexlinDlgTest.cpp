// The main dialog on the offscreen platform, with an injected local date and
// message box: model date and range message, layout, system menu, icons,
// painting, ending and release.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <vector>

#include "app/DexlinApp.h"
#include "app/DexlinDlg.h"
#include "platform/ClientDC.h"
#include "platform/LocalTime.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/ResourceLookup.h"
#include "resources/DexlinResources.h"
#include "resources/resource.h"
#include "tests/support/AppDialogTest.h"
#include "tests/support/RunModal.h"

using platform::CRect;
using platform::UINT;
using testsupport::RunModal;

CDexlinApp theApp;

namespace {

class DexlinDlgTest : public testsupport::AppDialogTest {};

using ProbeDlg = testsupport::CommandProbe<CDexlinDlg>;

QImage MapPicture() {
    const platform::BitmapResource* map = platform::FindBitmap(IDB_WORLDMAP);
    return map != nullptr ? QImage(QString::fromUtf8(map->path)).convertToFormat(QImage::Format_RGB32) : QImage();
}

int Differences(const QImage& a, const QImage& b, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

}  // namespace

struct ModelYearCase {
    const char* name;
    int year, month, day;
    double modelYear;
    bool warned;
    const char* model = nullptr;  // a built-in model's key; nullptr: the dialog's default
    const char* message = "This version of Dexlin only accepts years between 1995 and 2000.";
};

class ModelYearTest : public DexlinDlgTest, public testing::WithParamInterface<ModelYearCase> {};

TEST_P(ModelYearTest, FromTheLocalDateWithTheRangeMessageBeforeTheDialog) {
    const ModelYearCase& c = GetParam();
    UseDate(c.year, c.month, c.day);
    CDexlinDlg dlg(nullptr, c.model != nullptr ? model::FindBuiltInModel(c.model) : nullptr);
    EXPECT_NEAR(dlg.m_dModelYear, c.modelYear, 0.00005);
    if (!c.warned) {
        EXPECT_TRUE(boxes.empty());
        return;
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].caption, "Year out of range.");
    EXPECT_EQ(boxes[0].type, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_FALSE(boxes[0].hadOwner);
    EXPECT_FALSE(boxes[0].windowVisible) << "shown before the dialog";
    // The dialog opens all the same.
    const int result = RunModal(dlg, [&] {
        EXPECT_TRUE(dlg.GetWindow()->isVisible());
        QTest::keyClick(dlg.GetWindow(), Qt::Key_Escape);
    });
    EXPECT_EQ(result, platform::IDCANCEL);
    EXPECT_EQ(boxes.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, ModelYearTest,
    testing::Values(ModelYearCase{"mid_1997", 1997, 6, 15, 1997.5411, false},
                    ModelYearCase{"first_accepted_day", 1994, 12, 1, 1995.0027, false},
                    ModelYearCase{"day_before_the_model", 1994, 11, 30, 1994.9989, true},
                    ModelYearCase{"last_accepted_day", 1999, 11, 30, 1999.9989, false},
                    ModelYearCase{"first_day_after_the_model", 1999, 12, 1, 2000.0027, true},
                    ModelYearCase{"december_of_a_later_year", 2026, 12, 9, 2027.0247, true},
                    // A chosen model counts days as the field models do: 2026-12-09 is 2026.93699.
                    ModelYearCase{"igrf1995_by_its_key", 2026, 12, 9, 2026.93699, true, "igrf1995"},
                    ModelYearCase{"wmm2025_today", 2026, 12, 9, 2026.93699, false, "wmm2025"},
                    ModelYearCase{"wmm2025_last_day_of_2029", 2029, 12, 31, 2029.99726, false, "wmm2025"},
                    ModelYearCase{"wmm2025_first_day_after", 2030, 1, 2, 2030.00274, true, "wmm2025",
                                  "This version of Dexlin only accepts years between 2025 and "
                                  "2030."},
                    ModelYearCase{"wmm2025_in_1997", 1997, 6, 15, 1997.45205, true, "wmm2025",
                                  "This version of Dexlin only accepts years between 2025 and "
                                  "2030."},
                    ModelYearCase{"auto_today", 2026, 12, 9, 2026.93699, false, "auto"},
                    ModelYearCase{"auto_in_1900", 1900, 1, 1, 1900.0, false, "AUTO"},
                    ModelYearCase{"auto_in_1899", 1899, 12, 31, 1899.99726, true, "auto",
                                  "This version of Dexlin only accepts years between 1900 and "
                                  "2030."}),
    [](const testing::TestParamInfo<ModelYearCase>& info) { return std::string(info.param.name); });

TEST_F(DexlinDlgTest, ConstructionSetsMapMarkersBrushesAndFont) {
    CDexlinDlg dlg;
    EXPECT_EQ(dlg.m_nMapLeft, 0);
    EXPECT_EQ(dlg.m_nMapTop, 0);
    EXPECT_EQ(dlg.m_nMapRight, 634);
    EXPECT_EQ(dlg.m_nMapBottom, 378);
    EXPECT_EQ(dlg.m_nMapOffset, 0);
    EXPECT_EQ(dlg.m_nMarkerRadius, 4);
    EXPECT_FALSE(dlg.m_bStartSet || dlg.m_bDestSet || dlg.m_bStartDrawn || dlg.m_bDestDrawn);
    EXPECT_EQ(dlg.m_brushStart.GetColor(), 0x00FFFFu);
    EXPECT_EQ(dlg.m_brushDest.GetColor(), 0x0000FFu);
    ASSERT_NE(dlg.m_pReadoutFont, nullptr);
    EXPECT_EQ(dlg.m_pReadoutFont->GetCellHeight(), 18);
    // The serif face resolves to its metric twin, whose largest size within
    // the 18-row cell is 16 pixels (ascent 14, descent 3).
    EXPECT_EQ(QFontInfo(dlg.m_pReadoutFont->GetQFont()).family(), "Liberation Serif");
    EXPECT_EQ(dlg.m_pReadoutFont->GetQFont().pixelSize(), 16);
    EXPECT_EQ(dlg.m_pReadoutFont->GetAscent(), 14);
    EXPECT_NE(dlg.m_hIcon, nullptr);
    EXPECT_EQ(dlg.m_hIcon, theApp.LoadIcon(IDR_APPICON)) << "the shared program icon";
    EXPECT_TRUE(dlg.IsInsideMap(634, 378));
    EXPECT_FALSE(dlg.IsInsideMap(0, 379));
}

TEST_F(DexlinDlgTest, WindowLayoutTitleAndButtons) {
    ProbeDlg dlg;
    RunModal(dlg, [&] {
        CRect client;
        dlg.GetClientRect(&client);
        EXPECT_EQ(client.Width(), 637);
        EXPECT_EQ(client.Height(), 453);
        EXPECT_EQ(dlg.GetWindow()->windowTitle().toLatin1().toStdString(),
                  "Dexlin.               Click the left mouse button over a start point & right button over a "
                  "destination. ");
        auto* about = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_ABOUT));
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->geometry(), QRect(552, 390, 75, 22));
        EXPECT_EQ(about->text(), "&About");
        EXPECT_TRUE(about->isDefault());
        QWidget* help = dlg.GetDlgItem(ID_HELP);
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->geometry(), QRect(552, 419, 75, 22));
        // Shown exactly when the application serves the help command.
        EXPECT_EQ(!help->isHidden(), static_cast<bool>(theApp.ServesCommand(ID_HELP)));
        QTest::keyClick(dlg.GetWindow(), Qt::Key_Escape);
    });
    // A chosen model is named in the title: the one answering on the date.
    struct Case {
        const char* model;
        int year;
        const char* title;
    };
    for (const Case& c : {Case{"auto", 2026, "Dexlin (WMM2025).  "}, Case{"auto", 2010, "Dexlin (IGRF-14).  "},
                          Case{"auto", 1899, "Dexlin (the model chosen for the date).  "},
                          Case{"igrf1995", 1997, "Dexlin (1995.0 reference field).  "}}) {
        UseDate(c.year, 6, 15);
        boxes.clear();
        CDexlinDlg chosen(nullptr, model::FindBuiltInModel(c.model));
        RunModal(chosen, [&] {
            EXPECT_TRUE(chosen.GetWindow()->windowTitle().toLatin1().toStdString().starts_with(c.title))
                << c.model << ' ' << c.year;
            QTest::keyClick(chosen.GetWindow(), Qt::Key_Escape);
        });
    }
}

TEST_F(DexlinDlgTest, SystemMenuEndsWithTheAboutEntryAndIconsAreSet) {
    CDexlinDlg dlg;
    RunModal(dlg, [&] {
        platform::CMenu* menu = dlg.GetSystemMenu(platform::FALSE);
        ASSERT_NE(menu, nullptr);
        const int n = menu->GetMenuItemCount();
        ASSERT_EQ(n, 3);
        EXPECT_EQ(menu->GetMenuItemID(0), platform::SC_CLOSE);
        EXPECT_EQ(menu->GetMenuItemID(n - 2), 0u) << "separator";
        EXPECT_TRUE(menu->GetQMenu()->actions().at(n - 2)->isSeparator());
        EXPECT_EQ(menu->GetMenuItemID(n - 1), static_cast<UINT>(IDM_ABOUT));
        EXPECT_EQ(menu->GetMenuString(n - 1), "&About Dexlin...");
        EXPECT_EQ(dlg.GetIcon(platform::ICON_BIG), dlg.m_hIcon);
        EXPECT_EQ(dlg.GetIcon(platform::ICON_SMALL), dlg.m_hIcon);
        EXPECT_FALSE(dlg.GetWindow()->windowIcon().isNull());
        EXPECT_EQ(dlg.SendMessage(platform::WM_QUERYDRAGICON), reinterpret_cast<platform::LRESULT>(dlg.m_hIcon));
        dlg.EndDialog(platform::IDCANCEL);
    });
}

TEST_F(DexlinDlgTest, PaintShowsTheMapPictureAndRestoresAnInvalidatedSquare) {
    const QImage picture = MapPicture();
    ASSERT_EQ(picture.size(), QSize(637, 454));
    CDexlinDlg dlg;
    RunModal(dlg, [&] {
        dlg.UpdateWindow();
        EXPECT_EQ(Differences(dlg.GetSurfaceImage(), picture, QRect(0, 0, 637, 453)), 0);

        // A marker drawn outside painting, then its square invalidated.
        {
            platform::CClientDC dc(&dlg);
            dc.SelectObject(&dlg.m_brushStart);
            dc.Ellipse(300 - 4, 200 - 4, 300 + 4, 200 + 4);
            dc.SelectObject(&dlg.m_brushDest);
            dc.Ellipse(100 - 4, 100 - 4, 100 + 4, 100 + 4);
        }
        const QImage marked = dlg.GetSurfaceImage();
        EXPECT_EQ(marked.pixel(300, 200), qRgb(255, 255, 0));
        const CRect square{296, 196, 304, 204};
        dlg.InvalidateRect(&square, platform::FALSE);
        dlg.UpdateWindow();
        const QImage restored = dlg.GetSurfaceImage();
        EXPECT_EQ(Differences(restored, picture, QRect(296, 196, 8, 8)), 0);
        EXPECT_EQ(restored.pixel(100, 100), qRgb(255, 0, 0)) << "the other marker stays";
        int changed = 0;
        for (int y = 0; y < 453; ++y)
            for (int x = 0; x < 637; ++x)
                if (!QRect(296, 196, 8, 8).contains(x, y)) changed += restored.pixel(x, y) != marked.pixel(x, y);
        EXPECT_EQ(changed, 0);
        dlg.EndDialog(platform::IDCANCEL);
    });
}

TEST_F(DexlinDlgTest, CancelCommandsEndTheDialogAndReleaseFontAndBrushes) {
    const std::vector<std::pair<const char*, std::function<void(CDexlinDlg&)>>> enders{
        {"escape", [](CDexlinDlg& d) { QTest::keyClick(d.GetWindow(), Qt::Key_Escape); }},
        {"close box", [](CDexlinDlg& d) { d.GetWindow()->close(); }},
        {"system menu Close",
         [](CDexlinDlg& d) { d.GetSystemMenu(platform::FALSE)->GetQMenu()->actions().at(0)->trigger(); }},
    };
    for (const auto& [name, end] : enders) {
        CDexlinDlg dlg;
        const int result = RunModal(dlg, [&, end = end] { end(dlg); });
        EXPECT_EQ(result, platform::IDCANCEL) << name;
        EXPECT_EQ(dlg.m_pReadoutFont, nullptr) << name;
        EXPECT_FALSE(dlg.m_brushStart.IsCreated()) << name;
        EXPECT_FALSE(dlg.m_brushDest.IsCreated()) << name;
    }
}

TEST_F(DexlinDlgTest, InitInstanceRunsTheDialogAsMainWindowAndEndsTheProgram) {
    bool sawMainWindow = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        sawMainWindow = theApp.m_pMainWnd != nullptr && modal != nullptr && theApp.m_pMainWnd->GetWindow() == modal;
        if (modal != nullptr) QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_EQ(theApp.InitInstance(), platform::FALSE);
    EXPECT_TRUE(sawMainWindow);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr) << "the dialog is gone with InitInstance";
}
