// vellumo-artwork: draws Vellumo's built-in pictures.
//
//   vellumo-artwork [--font FILE] OUTPUT_FOLDER
//
// writes preview.png (the default preview picture), icon-32.png, icon-48.png,
// vellumo.ico (those two sizes for Windows) and icon-64.png, icon-128.png and
// icon-256.png (for the desktop's icon theme) into OUTPUT_FOLDER. The
// results are kept in share/artwork/ so that ordinary builds need neither
// this program nor the font. After writing, every file is read back with
// Qt's own image readers and compared with what was drawn; the program fails
// when anything differs.

#include "drawing.h"
#include "ico_file.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QSaveFile>
#include <QTextStream>

#include <cstring>

namespace {

constexpr auto defaultFontFile = "/usr/share/fonts/opentype/urw-base35/Z003-MediumItalic.otf";

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// ---------------------------------------------------------------------------
// Writing and reading back

bool writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        err() << "vellumo-artwork: cannot write " << path << ": " << file.errorString() << "\n";
        return false;
    }
    return true;
}

bool writeImage(const QString &path, const QImage &image)
{
    if (!image.save(path, "PNG")) {
        err() << "vellumo-artwork: cannot write " << path << "\n";
        return false;
    }
    return true;
}

// Transparent pixels may carry any colour; compare premultiplied pixels.
bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < pa.height(); ++y) {
        if (std::memcmp(pa.constScanLine(y), pb.constScanLine(y), std::size_t(pa.width()) * 4) != 0)
            return false;
    }
    return true;
}

bool check(bool ok, const QString &what)
{
    if (!ok)
        err() << "vellumo-artwork: check failed: " << what << "\n";
    return ok;
}

bool checkPng(const QString &path, const QImage &drawn, bool alpha)
{
    QImageReader reader(path, "png");
    const QImage read = reader.read();
    return check(!read.isNull(), path + " can be read")
        && check(read.size() == drawn.size(), path + " has the drawn size")
        && check(read.hasAlphaChannel() == alpha,
                 path + (alpha ? " has an alpha channel" : " has no alpha channel"))
        && check(samePixels(read, drawn), path + " holds the drawn pixels");
}

bool checkIco(const QString &path, const QList<QImage> &drawn)
{
    QImageReader reader(path, "ico");
    if (!check(reader.canRead(), path + " can be read as an icon file"))
        return false;
    bool ok = check(reader.imageCount() == drawn.size(), path + " holds every size");
    for (qsizetype i = 0; ok && i < drawn.size(); ++i) {
        const QString which = QStringLiteral("%1 image %2").arg(path).arg(i);
        ok = check(reader.jumpToImage(int(i)), which + " can be reached");
        const QImage read = ok ? reader.read() : QImage();
        ok = ok && check(!read.isNull(), which + " can be read")
            && check(read.size() == drawn[i].size(), which + " has the drawn size")
            && check(samePixels(read, drawn[i]), which + " holds the drawn pixels");
    }
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing needs no screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("vellumo-artwork"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws Vellumo's default preview picture and program icon."));
    parser.addHelpOption();
    QCommandLineOption fontOption(QStringLiteral("font"),
                                  QStringLiteral("Handwriting font for the name (default %1).")
                                      .arg(QLatin1String(defaultFontFile)),
                                  QStringLiteral("file"), QLatin1String(defaultFontFile));
    parser.addOption(fontOption);
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("Where to write the pictures."));
    parser.process(app);

    const QStringList folders = parser.positionalArguments();
    if (folders.size() != 1)
        parser.showHelp(2);
    const QDir folder(folders.first());
    if (!QDir().mkpath(folder.path())) {
        err() << "vellumo-artwork: cannot create " << folder.path() << "\n";
        return 1;
    }

    // The committed pictures must not depend on whatever font happens to
    // stand in for a missing one, so a missing font is an error.
    const QString fontFile = parser.value(fontOption);
    const int fontId = QFontDatabase::addApplicationFont(fontFile);
    const QStringList families = fontId < 0 ? QStringList()
                                            : QFontDatabase::applicationFontFamilies(fontId);
    if (families.isEmpty()) {
        err() << "vellumo-artwork: cannot load the font " << fontFile << "\n";
        return 1;
    }

    const QImage preview = artwork::drawPreview(families.first());
    const QList<QImage> windowsIcons{artwork::drawIcon(32), artwork::drawIcon(48)};
    QList<QImage> icons = windowsIcons;
    for (const int size : {64, 128, 256})
        icons << artwork::drawIcon(size);
    const auto iconPath = [&folder](const QImage &icon) {
        return folder.filePath(QStringLiteral("icon-%1.png").arg(icon.width()));
    };

    const QString previewPath = folder.filePath(QStringLiteral("preview.png"));
    const QString icoPath = folder.filePath(QStringLiteral("vellumo.ico"));

    bool ok = writeImage(previewPath, preview) && writeFile(icoPath, artwork::iconFile(windowsIcons));
    for (const QImage &icon : icons)
        ok = ok && writeImage(iconPath(icon), icon);
    if (!ok)
        return 1;

    ok = checkPng(previewPath, preview, false) && checkIco(icoPath, windowsIcons);
    for (const QImage &icon : icons)
        ok = ok && checkPng(iconPath(icon), icon, true);
    return ok ? 0 : 1;
}
