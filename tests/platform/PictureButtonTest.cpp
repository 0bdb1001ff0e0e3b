// Picture buttons: pictures found by the control's text, the size taken from
// the up picture, the picture drawn for each state.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <string>

#include "platform/BitmapButton.h"
#include "platform/Dialog.h"
#include "platform/OwnerDrawButton.h"
#include "platform/Resources.h"
#include "tests/support/ImageDifferences.h"
#include "tests/support/RunModal.h"

using namespace platform;
using testsupport::Differences;
using testsupport::RunModal;

namespace {

constexpr UINT kDialog = 7100;
constexpr int kPicture = 400;   // owner-drawn, "PIC": up, down and focused pictures
constexpr int kBare = 401;      // owner-drawn, "BARE": no pictures at all
constexpr int kPush = 402;      // an ordinary push button
constexpr int kDisabled = 403;  // owner-drawn and disabled, "PIC"

const DialogTemplate kLayout{
    false,
    0,
    0,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    200,
    150,
    "Pictures",
    8,
    0,
    false,
    0,
    "MS Sans Serif",
    {
        {kPicture, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 10, 8, 20, 10, "PIC"},
        {kBare, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 10, 60, 20, 10, "BARE"},
        {kPush, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 120, 120, 40, 14, "PIC"},
        {kDisabled, "button", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 60, 60, 20, 10,
         "PIC"},
    }};

// Every picture distinct in every pixel from the others.
QImage MakePicture(int seed) {
    QImage image(41, 23, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 5 + seed * 60) & 0xFF, (y * 9 + seed * 80) & 0xFF, seed * 70 & 0xFF));
    return image;
}

struct Pictures {
    QTemporaryDir dir;
    std::array<std::string, 3> paths;  // U, D, F
    std::array<QImage, 3> images;
};

Pictures& ThePictures() {
    static Pictures p = [] {
        Pictures made;
        for (int i = 0; i < 3; ++i) {
            made.images[i] = MakePicture(i + 1);
            made.paths[i] = (made.dir.path() + QString("/pic%1.bmp").arg(i)).toStdString();
            made.images[i].save(QString::fromStdString(made.paths[i]), "BMP");
        }
        return made;
    }();
    return p;
}

class PictureButtonTest : public testing::Test {
protected:
    void SetUp() override {
        Pictures& p = ThePictures();
        static const std::array<DialogResource, 1> dialogs{{{static_cast<int>(kDialog), &kLayout}}};
        static const std::array<BitmapResource, 3> bitmaps{
            {{0, "PICU", p.paths[0].c_str()}, {0, "PICD", p.paths[1].c_str()}, {0, "PICF", p.paths[2].c_str()}}};
        SetResources({dialogs, {}, bitmaps, {}});
    }
    CDialog dialog{kDialog};
};

QImage Rendered(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

TEST_F(PictureButtonTest, AutoLoadFindsThePicturesByTheControlsTextAndSizesToTheUpPicture) {
    RunModal(dialog, [&] {
        CBitmapButton button;
        ASSERT_TRUE(button.AutoLoad(kPicture, &dialog));
        QWidget* w = dialog.GetDlgItem(kPicture);
        EXPECT_EQ(button.GetButton(), w);
        EXPECT_EQ(w->geometry(), QRect(15, 13, 41, 23)) << "the up picture's size, the template's position";

        CBitmapButton bare;
        EXPECT_FALSE(bare.AutoLoad(kBare, &dialog)) << "no up picture";
        CBitmapButton push;
        EXPECT_FALSE(push.AutoLoad(kPush, &dialog)) << "not owner-drawn";
        CBitmapButton missing;
        EXPECT_FALSE(missing.AutoLoad(999, &dialog)) << "no such control";
        dialog.EndDialog(IDOK);
    });
}

TEST_F(PictureButtonTest, DrawsThePictureOfItsStateUnscaledElseTheUpPicture) {
    const Pictures& p = ThePictures();
    RunModal(dialog, [&] {
        CBitmapButton button;
        ASSERT_TRUE(button.AutoLoad(kPicture, &dialog));
        auto* w = button.GetButton();
        w->clearFocus();
        EXPECT_EQ(Differences(Rendered(w), p.images[0]), 0) << "up";
        w->setFocus();
        ASSERT_TRUE(w->hasFocus());
        EXPECT_EQ(Differences(Rendered(w), p.images[2]), 0) << "focused";
        w->setDown(true);
        EXPECT_EQ(Differences(Rendered(w), p.images[1]), 0) << "pressed before focused";
        w->setDown(false);

        // Disabled, with no disabled picture: the up picture; and no focus.
        CBitmapButton off;
        ASSERT_TRUE(off.AutoLoad(kDisabled, &dialog));
        QWidget* d = off.GetButton();
        EXPECT_EQ(d->focusPolicy(), Qt::NoFocus);
        d->setFocus();
        EXPECT_FALSE(d->hasFocus());
        EXPECT_EQ(Differences(Rendered(d), p.images[0]), 0) << "disabled";
        dialog.EndDialog(IDOK);
    });
}

TEST_F(PictureButtonTest, DisabledPictureButtonTakesNoClickAndTabPassesItBy) {
    int commands = 0;
    RunModal(dialog, [&] {
        CBitmapButton off;
        ASSERT_TRUE(off.AutoLoad(kDisabled, &dialog));
        auto* d = off.GetButton();
        QObject::connect(d, &QAbstractButton::clicked, [&] { ++commands; });
        QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(commands, 0);
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : dialog.GetWindow(),
                            Qt::Key_Tab);
            EXPECT_NE(QApplication::focusWidget(), d) << "after Tab " << i + 1;
        }
        dialog.EndDialog(IDOK);
    });
}

TEST_F(PictureButtonTest, ButtonOutlivingItsPictureButtonDrawsNothingOfIt) {
    RunModal(dialog, [&] {
        QWidget* w = nullptr;
        {
            CBitmapButton button;
            ASSERT_TRUE(button.AutoLoad(kPicture, &dialog));
            w = button.GetButton();
        }
        // Must not reach the destroyed object: the picture is gone with it.
        EXPECT_GT(Differences(Rendered(w), ThePictures().images[0]), 0);
        dialog.EndDialog(IDOK);
    });
}
