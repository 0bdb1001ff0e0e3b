// resgen: draws the program's pictures and icon from the Natural Earth map
// data and the Liberation fonts, byte for byte the same on every run.
//
//   resgen <countries-50m.json> <font directory> <output directory>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdio>

#include "tools/resgen/AboutPicture.h"
#include "tools/resgen/Globe.h"
#include "tools/resgen/LandMask.h"
#include "tools/resgen/MapPicture.h"
#include "tools/resgen/Topology.h"

namespace {

// The map picture's stored resolution.
constexpr std::int32_t kMapXPixelsPerMetre = 3790;
constexpr std::int32_t kMapYPixelsPerMetre = 3800;

bool Fail(const QString& message) {
    std::fprintf(stderr, "resgen: %s\n", qPrintable(message));
    return false;
}

bool Write(const QDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return Fail(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
    std::printf("%s (%lld bytes)\n", qPrintable(file.fileName()), static_cast<long long>(bytes.size()));
    return true;
}

// Adds a font file and answers its family, empty on failure.
QString AddFont(const QDir& dir, const QString& file) {
    const int id = QFontDatabase::addApplicationFont(dir.filePath(file));
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) Fail(QStringLiteral("cannot load font %1").arg(dir.filePath(file)));
    return families.value(0);
}

bool Run(const QStringList& args) {
    if (args.size() != 4) return Fail("usage: resgen <countries-50m.json> <font directory> <output directory>");
    resgen::Topology world;
    QString error;
    if (!world.Load(args[1], error)) return Fail(error);
    const QDir fonts(args[2]);
    const QDir out(args[3]);
    if (!out.exists()) return Fail(QStringLiteral("no directory %1").arg(args[3]));

    const QString sans = AddFont(fonts, "LiberationSans-Bold.ttf");
    const QString sansRegular = AddFont(fonts, "LiberationSans-Regular.ttf");
    const QString serif = AddFont(fonts, "LiberationSerif-Bold.ttf");
    if (sans.isEmpty() || sansRegular.isEmpty() || serif.isEmpty()) return false;

    const resgen::LandMask land(world.Rings("land"));
    const resgen::IndexedPicture map = resgen::MapPicture(world, land, sans).Draw();
    if (!Write(out, "worldmap.bmp", map.ToBmp(kMapXPixelsPerMetre, kMapYPixelsPerMetre))) return false;
    // The same map at two picture pixels per map pixel, for high-density screens.
    const resgen::IndexedPicture map2x = resgen::MapPicture(world, land, sans, 2).Draw();
    if (!Write(out, "worldmap@2x.png", map2x.ToPng())) return false;

    const resgen::Globe globe(land);
    resgen::IndexedPicture about(1, 1, resgen::kWhite);
    if (!resgen::AboutPicture(globe, {sans, serif}).Draw(about)) return Fail("about picture: text runs off the page");
    if (!Write(out, "advertu.bmp", about.ToBmp(kMapXPixelsPerMetre, kMapYPixelsPerMetre))) return false;

    resgen::IndexedPicture icon32(32, 32, resgen::kBlack), icon16(16, 16, resgen::kBlack),
        icon128(128, 128, resgen::kBlack);
    globe.Draw(icon32, 0, 0, 32);
    globe.Draw(icon16, 0, 0, 16);
    globe.Draw(icon128, 0, 0, 128);
    return Write(out, "dexlin.ico", resgen::IndexedPicture::ToIco({&icon32, &icon16})) &&
           Write(out, "dexlin-32.png", icon32.ToPng()) && Write(out, "dexlin-16.png", icon16.ToPng()) &&
           Write(out, "dexlin-128.png", icon128.ToPng());
}

}  // namespace

int main(int argc, char* argv[]) {
    // Fonts need a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return Run(QCoreApplication::arguments()) ? 0 : 1;
}
