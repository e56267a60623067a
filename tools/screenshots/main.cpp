// vellumo-screenshots: photographs Vellumo's four windows as they appear on
// screen, window-manager frame and title bar included.
//
//   vellumo-screenshots [--font-family NAME] [--font-pixel-size N] [--language FILE] OUTPUT_FOLDER
//
// writes main-window.png, settings.png, about.png and language-chooser.png.
// It needs a running X server with a window manager that decorates windows
// (scripts/screenshots provides both). The real windows are built over a
// throw-away program folder and settings store, shown one at a time, and the
// screen area under each window's frame is grabbed.
//
// The font options replace the program font for this run only, to try how
// another one suits the fixed layouts. For every caption the program also
// reports the room it needs against the room its control has, and names the
// ones that do not fit.
//
// --language loads a language file into the windows before they are taken.

#include "caption_fit.h"
#include "console.h"
#include "photograph.h"

#include "app/environment.h"
#include "app/settings.h"
#include "download/transfer_policy.h"
#include "localisation/language_file.h"
#include "platform/registry.h"
#include "platform/settings_store_ini.h"
#include "windows/appearance.h"
#include "windows/artwork.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>

using namespace std::chrono_literals;
using screenshots::err;
using screenshots::out;

namespace {

// --- The scene ---------------------------------------------------------------

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        err() << "vellumo-screenshots: cannot write " << path << '\n';
        return false;
    }
    return true;
}

// A catalogue as the skin list would fill it: categories under the root,
// skins under the categories.
void fillDemoCatalogue(vellumo::Form1 &main)
{
    struct Category {
        const char *key;
        const char *text;
        QList<const char *> skins;
    };
    const QList<Category> catalogue = {
        {"cartoons", " Cartoons", {"Blije Beer", "Kapitein Kwak", "Robbie Robot"}},
        {"dieren", " Dieren", {"Pinguins", "Poezen in de zon", "Zeehondjes"}},
        {"landschappen", " Landschappen", {"Herfstbos", "Noorderlicht"}},
        {"sport", " Sport", {"Schaatsen", "Voetbal 2004"}},
    };
    const QString root = QStringLiteral("msnskins");
    for (const Category &category : catalogue) {
        const QString categoryKey = QStringLiteral("cat_") + QLatin1String(category.key);
        main.catalogue().addNode(root, categoryKey, QString::fromUtf8(category.text));
        int n = 0;
        for (const char *skin : category.skins)
            main.catalogue().addNode(categoryKey, categoryKey + QStringLiteral("_%1").arg(++n), QString::fromUtf8(skin));
    }
    main.menus.out->trigger(); // expands every node
}

} // namespace

int main(int argc, char *argv[])
{
    // A private settings store and runtime folder, made before Qt starts so
    // that nothing of the user's own is read or written.
    QTemporaryDir sandbox;
    if (!sandbox.isValid()) {
        std::fprintf(stderr, "vellumo-screenshots: cannot make a temporary folder\n");
        return 1;
    }
    const QString configFolder = sandbox.filePath(QStringLiteral("config"));
    const QString runtimeFolder = sandbox.filePath(QStringLiteral("runtime"));
    const QString programFolder = sandbox.filePath(QStringLiteral("program"));
    for (const QString &folder : {configFolder, runtimeFolder, programFolder}) {
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "vellumo-screenshots: cannot make %s\n", qPrintable(folder));
            return 1;
        }
    }
    QFile::setPermissions(runtimeFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configFolder));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder));
    // The frame and title bar come from the X window manager.
    qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumo"));
    QApplication::setOrganizationName(QStringLiteral("Corvath Software"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Photographs Vellumo's windows into OUTPUT_FOLDER."));
    parser.addHelpOption();
    const QCommandLineOption familyOption(QStringLiteral("font-family"),
                                          QStringLiteral("Use this font family instead of the program's."),
                                          QStringLiteral("name"));
    const QCommandLineOption sizeOption(QStringLiteral("font-pixel-size"),
                                        QStringLiteral("Use this font size, in pixels, instead of the program's."),
                                        QStringLiteral("pixels"));
    const QCommandLineOption languageOption(QStringLiteral("language"),
                                            QStringLiteral("Show the windows in the language of this file."),
                                            QStringLiteral("file"));
    parser.addOption(familyOption);
    parser.addOption(sizeOption);
    parser.addOption(languageOption);
    parser.addPositionalArgument(QStringLiteral("OUTPUT_FOLDER"), QStringLiteral("Where the pictures go."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    const QDir output(parser.positionalArguments().first());
    if (!QDir().mkpath(output.path())) {
        err() << "vellumo-screenshots: cannot make " << output.path() << '\n';
        return 1;
    }

    QApplication::setQuitOnLastWindowClosed(false);
    QFont font = vellumo::programFont();
    if (parser.isSet(familyOption))
        font.setFamilies({parser.value(familyOption)});
    if (parser.isSet(sizeOption)) {
        bool ok = false;
        const int pixels = parser.value(sizeOption).toInt(&ok);
        if (!ok || pixels < 4 || pixels > 72) {
            err() << "vellumo-screenshots: no pixel size: " << parser.value(sizeOption) << '\n';
            return 2;
        }
        font.setPixelSize(pixels);
    }
    QApplication::setFont(font);
    QApplication::setWindowIcon(vellumo::programIcon());

    const QFontInfo used(QApplication::font());
    const QScreen *primary = QGuiApplication::primaryScreen();
    out() << "platform " << QGuiApplication::platformName() << ", style " << QApplication::style()->name()
          << ", screen " << primary->geometry().width() << 'x' << primary->geometry().height() << " at "
          << primary->logicalDotsPerInch() << " dpi\n"
          << "font asked " << QApplication::font().family() << ' ' << QApplication::font().pixelSize()
          << " px, got " << used.family() << ' ' << used.pixelSize() << " px\n";

    // Two language files, so that the chooser lists something.
    if (!writeFile(QDir(programFolder).filePath(QStringLiteral("English.lng")), "&Set as skin\r\n")
        || !writeFile(QDir(programFolder).filePath(QStringLiteral("Deutsch.lng")), "&Als Skin setzen\r\n"))
        return 1;

    vellumo::platform::IniSettingsStore store(configFolder);
    vellumo::Settings settings(store);
    // Started with "loadcache", which keeps the skin list from being fetched:
    // the catalogue shown is made up here, and nothing goes on the network.
    vellumo::TransferSession transfers;
    const auto registry = vellumo::platform::createMachineRegistry(); // never read here
    vellumo::Form1 mainWindow(vellumo::Environment{.programFolder = QDir::toNativeSeparators(programFolder),
                                                   .commandLine = QStringLiteral("loadcache"),
                                                   .settings = &settings,
                                                   .registry = registry.get(),
                                                   .closeHelper = {},
                                                   .transfers = &transfers});
    bool ended = false;
    QObject::connect(&mainWindow, &vellumo::Form1::programEnded, &app, [&ended] { ended = true; });

    // As at a start: the chooser is made first, and its load step loads the
    // main window, which puts the root of the catalogue in place.
    vellumo::Form4 &chooser = mainWindow.form4();
    // The list loading, which the load step has started, would only report
    // the missing list; it has not run yet, as no event has been handled.
    mainWindow.loading->stop();
    fillDemoCatalogue(mainWindow);
    if (parser.isSet(languageOption)) {
        // A file the program would not take would end in a message box here.
        const QString language = QFileInfo(parser.value(languageOption)).absoluteFilePath();
        if (vellumo::readLanguageFile(language).status != vellumo::LanguageFile::Status::Complete) {
            err() << "vellumo-screenshots: not a complete language file: " << language << '\n';
            return 2;
        }
        mainWindow.LoadLanguage(language);
    }

    int clipped = 0;
    bool ok = true;
    const auto take = [&](QWidget *window, const QString &name, const QString &file) {
        if (!ok)
            return;
        if (!window) {
            err() << "vellumo-screenshots: the " << name << " did not open\n";
            ok = false;
            return;
        }
        ok = screenshots::photograph(*window, output.filePath(file));
        clipped += screenshots::reportFits(name, *window);
        window->hide();
        screenshots::processEventsUntil([&] { return !window->isVisible(); }, 2s);
        if (ended) {
            err() << "vellumo-screenshots: the program ended by itself\n";
            ok = false;
        }
    };

    screenshots::nameControls(mainWindow);
    mainWindow.show();
    take(&mainWindow, QStringLiteral("main window"), QStringLiteral("main-window.png"));

    mainWindow.menus.settings->trigger();
    if (vellumo::Form2 *dialog = mainWindow.existingForm2())
        screenshots::nameControls(*dialog);
    take(mainWindow.existingForm2(), QStringLiteral("settings dialog"), QStringLiteral("settings.png"));

    mainWindow.menus.about->trigger();
    if (vellumo::Form3 *dialog = mainWindow.existingForm3())
        screenshots::nameControls(*dialog);
    take(mainWindow.existingForm3(), QStringLiteral("about box"), QStringLiteral("about.png"));

    screenshots::nameControls(chooser);
    chooser.show();
    take(&chooser, QStringLiteral("language chooser"), QStringLiteral("language-chooser.png"));

    if (!ok)
        return 1;
    out() << (clipped == 0 ? QStringLiteral("Every caption fits.")
                           : QStringLiteral("%1 caption(s) do not fit.").arg(clipped))
          << '\n';
    out().flush();
    return 0;
}
