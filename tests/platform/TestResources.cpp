#include "tests/platform/TestResources.h"

#include <QTemporaryDir>
#include <array>
#include <string>

#include "platform/DialogTemplate.h"
#include "platform/Resources.h"

namespace testres {

namespace {

using namespace platform;

const DialogTemplate kLayout{
    false,
    0,
    0,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    425,
    279,
    kTitle,
    8,
    0,
    false,
    0,
    "MS Sans Serif",
    {
        {kGo, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 368, 240, 50, 14, "&Go"},
        {kOther, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 368, 258, 50, 14, "&Other"},
        {kDisabled, "button", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP, 0, 0, 300, 258, 50, 14, "&Off"},
        {kServed, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 300, 240, 50, 14, "&Served"},
        {kUnserved, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 240, 240, 50, 14, "&Unserved"},
        {kLabel, "static", WS_CHILD | WS_VISIBLE, 0, 0, 3, 263, 100, 8, "a&&b &c"},
    }};

// An even number of pixels each way (424 x 272 units), for centring.
const DialogTemplate kEvenLayout{
    false,
    0,
    0,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    424,
    272,
    "Even",
    8,
    0,
    false,
    0,
    "MS Sans Serif",
    {{kGo, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 368, 240, 50, 14, "&Go"}}};

struct Files {
    QTemporaryDir dir;
    std::string picture;
    std::string icon;
};

Files& TheFiles() {
    static Files files = [] {
        Files f;
        f.picture = (f.dir.path() + "/picture.bmp").toStdString();
        f.icon = (f.dir.path() + "/icon.png").toStdString();
        return f;
    }();
    return files;
}

}  // namespace

const QImage& Picture() {
    static const QImage picture = [] {
        QImage image(637, 454, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb((x * 7 + y) & 0xFF, (y * 5 + x * 3) & 0xFF, (x + y * 11) & 0xFF));
        return image;
    }();
    return picture;
}

void Install() {
    Files& files = TheFiles();
    Picture().save(QString::fromStdString(files.picture), "BMP");
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::darkGreen);
    icon.save(QString::fromStdString(files.icon), "PNG");

    static const std::array<DialogResource, 2> dialogs{
        {{static_cast<int>(kDialog), &kLayout}, {static_cast<int>(kEvenDialog), &kEvenLayout}}};
    static const std::array<StringResource, 1> strings{{{static_cast<int>(kString), "&Extra..."}}};
    static const std::array<BitmapResource, 1> bitmaps{{{static_cast<int>(kPicture), "", files.picture.c_str()}}};
    static const std::array<const char*, 1> iconImages{files.icon.c_str()};
    static const std::array<IconResource, 1> icons{{{static_cast<int>(kIcon), iconImages}}};
    SetResources({dialogs, strings, bitmaps, icons});
}

}  // namespace testres
