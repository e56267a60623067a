// vellumo-screenshots: photographs Vellumo's four windows as they appear on
// screen, window-manager frame and title bar included.
//
//   vellumo-screenshots [--font-family NAME] [--font-pixel-size N] OUTPUT_FOLDER
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

#include "app/appearance.h"
#include "app/artwork.h"
#include "app/environment.h"
#include "app/form1.h"
#include "app/keyed_tree.h"
#include "app/settings.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/link_label.h"
#include "dialogs/tri_state_check_box.h"
#include "localisation/form4.h"
#include "platform/settings_store_ini.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using namespace std::chrono_literals;

constexpr auto mapTimeout = 10s;   // until the window manager has framed a window
constexpr auto stableFor = 300ms;  // the frame must keep still this long
constexpr auto settleTime = 400ms; // for the frame decoration and the contents to be painted

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Handles events until the condition holds or the time is up.
bool processEventsUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

void processEventsFor(std::chrono::milliseconds duration)
{
    processEventsUntil([] { return false; }, duration);
}

// The window's frame as the window manager has put it; empty while the
// window is not mapped or not decorated. (QWindow asks the X server; the
// widget's own copy of the frame margins can lag behind.)
QRect frameOf(const QWidget &window)
{
    const QWindow *handle = window.windowHandle();
    if (!window.isVisible() || !handle || !handle->isExposed() || handle->frameMargins().top() <= 0)
        return {};
    return handle->frameGeometry();
}

// Waits until the window is mapped, framed and no longer moved by the window
// manager, then grabs the screen area under its frame.
bool photograph(QWidget &window, const QString &file)
{
    window.raise();
    window.activateWindow();

    // The frame must keep the same place and size for a while, and still
    // have them once everything is painted.
    QRect frame;
    QDeadlineTimer still;
    const auto settled = [&] {
        const QRect now = frameOf(window);
        if (now.isEmpty() || now != frame) {
            frame = now;
            still.setRemainingTime(stableFor);
            return false;
        }
        return still.hasExpired();
    };
    const QDeadlineTimer deadline(mapTimeout);
    bool ready = false;
    while (!ready && !deadline.hasExpired()) {
        if (!processEventsUntil(settled, std::chrono::milliseconds(deadline.remainingTime())))
            break;
        // Being the active window only changes the colours of the title
        // bar; its absence is no reason to give up.
        processEventsUntil([&] { return window.isActiveWindow(); }, 2s);
        window.repaint();
        processEventsFor(settleTime);
        ready = frameOf(window) == frame;
    }
    if (!ready) {
        err() << "vellumo-screenshots: \"" << window.windowTitle()
              << "\" was not framed and still in time; does a window manager run?\n";
        return false;
    }

    QScreen *screen = window.screen();
    if (!screen->geometry().contains(frame)) {
        err() << "vellumo-screenshots: \"" << window.windowTitle() << "\" lies partly off the screen\n";
        return false;
    }
    const QPoint origin = frame.topLeft() - screen->geometry().topLeft();
    const QPixmap shot = screen->grabWindow(0, origin.x(), origin.y(), frame.width(), frame.height());
    if (shot.isNull() || shot.size() != frame.size() * shot.devicePixelRatio()) {
        err() << "vellumo-screenshots: the screen could not be grabbed\n";
        return false;
    }
    if (!shot.save(file, "PNG")) {
        err() << "vellumo-screenshots: cannot write " << file << '\n';
        return false;
    }
    const QRect client = window.windowHandle()->geometry();
    out() << QDir::toNativeSeparators(file) << ": frame " << frame.width() << 'x' << frame.height()
          << ", client " << client.width() << 'x' << client.height() << " at " << client.x() - frame.x() << ','
          << client.y() - frame.y() << '\n';
    return true;
}

// --- Whether the captions fit their controls --------------------------------

struct Fit {
    QSize needed;
    QSize available;
    bool fits() const { return needed.width() <= available.width() && needed.height() <= available.height(); }
};

// Where the label's text puts ink when nothing stops it: the text is drawn
// as QLabel draws plain text, into a room as wide as the label's (when it
// wraps) or unbounded (when it does not), and as tall as it likes.
Fit fitOf(const QLabel &label)
{
    const QRect room = label.contentsRect();
    // Measured from the top; the labels that matter are top-aligned.
    const int flags = int(label.alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop
                      | (label.wordWrap() ? int(Qt::TextWordWrap) : 0);
    const QFontMetrics metrics(label.font());
    const QRect free(0, 0, label.wordWrap() ? room.width() : 4 * metrics.horizontalAdvance(label.text()) + 100,
                     4 * metrics.boundingRect(QRect(0, 0, room.width(), 100000), flags, label.text()).height() + 100);
    QImage canvas(free.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setFont(label.font());
        painter.setPen(Qt::black);
        painter.drawText(free, flags, label.text());
    }
    QSize ink(0, 0);
    for (int y = 0; y < canvas.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                ink = ink.expandedTo(QSize(x + 1, y + 1));
        }
    }
    // Text wrapped into one word per line can still run out to the right.
    if (label.wordWrap())
        ink.setWidth(qMax(ink.width(), metrics.boundingRect(free, flags, label.text()).width()));
    return {ink, room.size()};
}

Fit fitOf(const QPushButton &button)
{
    // The label is drawn inside the bevel, less the style's button margin.
    QStyleOptionButton option;
    option.initFrom(&button);
    const int margin = button.style()->pixelMetric(QStyle::PM_ButtonMargin, &option, &button);
    const int bevel = button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    const QSize text = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
    return {text, button.size() - QSize(margin + 2 * bevel, 2 * bevel)};
}

Fit fitOf(const QCheckBox &box)
{
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect label = box.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &box);
    return {box.fontMetrics().size(Qt::TextShowMnemonic, box.text()), label.size()};
}

// Prints one line per caption; answers how many do not fit.
int reportFits(const QString &windowName, const QWidget &window)
{
    int clipped = 0;
    const auto report = [&](const QWidget &control, const QString &text, const Fit &fit) {
        if (text.isEmpty())
            return;
        if (!fit.fits())
            ++clipped;
        out() << "  " << windowName << " / " << control.objectName() << " \"" << text << "\": needs "
              << fit.needed.width() << 'x' << fit.needed.height() << ", has " << fit.available.width() << 'x'
              << fit.available.height() << (fit.fits() ? "" : "  <-- CLIPPED") << '\n';
    };
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->isVisibleTo(&window) && label->pixmap().isNull())
            report(*label, label->text(), fitOf(*label));
    }
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(&window))
            continue;
        if (const auto *push = qobject_cast<const QPushButton *>(button))
            report(*push, push->text(), fitOf(*push));
        else if (const auto *check = qobject_cast<const QCheckBox *>(button))
            report(*check, check->text(), fitOf(*check));
    }
    return clipped;
}

// Design names make the report readable.
void nameControls(vellumo::Form1 &main)
{
    main.Command1->setObjectName(QStringLiteral("Command1"));
}

void nameControls(vellumo::Form2 &dialog)
{
    dialog.Check1->setObjectName(QStringLiteral("Check1"));
    dialog.Command1->setObjectName(QStringLiteral("Command1"));
}

void nameControls(vellumo::Form3 &dialog)
{
    dialog.Label1->setObjectName(QStringLiteral("Label1"));
    dialog.Label2->setObjectName(QStringLiteral("Label2"));
    dialog.Label3->setObjectName(QStringLiteral("Label3"));
    dialog.Label4->setObjectName(QStringLiteral("Label4"));
    dialog.Label5->setObjectName(QStringLiteral("Label5"));
    dialog.Command1->setObjectName(QStringLiteral("Command1"));
}

void nameControls(vellumo::Form4 &dialog)
{
    dialog.Label1->setObjectName(QStringLiteral("Label1"));
    dialog.Label2->setObjectName(QStringLiteral("Label2"));
    dialog.Label3->setObjectName(QStringLiteral("Label3"));
    dialog.Command1->setObjectName(QStringLiteral("Command1"));
}

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
        main.TV1->addNode(root, categoryKey, QString::fromUtf8(category.text));
        int n = 0;
        for (const char *skin : category.skins)
            main.TV1->addNode(categoryKey, categoryKey + QStringLiteral("_%1").arg(++n), QString::fromUtf8(skin));
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
    parser.addOption(familyOption);
    parser.addOption(sizeOption);
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
    vellumo::Form1 mainWindow(
        vellumo::Environment{QDir::toNativeSeparators(programFolder), QStringLiteral("loadcache"), &settings});
    bool ended = false;
    QObject::connect(&mainWindow, &vellumo::Form1::programEnded, &app, [&ended] { ended = true; });

    // As at a start: the chooser is made first, and its load step loads the
    // main window, which puts the root of the catalogue in place.
    vellumo::Form4 &chooser = mainWindow.form4();
    // The list loading, which the load step has started, would only report
    // the missing list; it has not run yet, as no event has been handled.
    mainWindow.loading->stop();
    fillDemoCatalogue(mainWindow);

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
        ok = photograph(*window, output.filePath(file));
        clipped += reportFits(name, *window);
        window->hide();
        processEventsUntil([&] { return !window->isVisible(); }, 2s);
        if (ended) {
            err() << "vellumo-screenshots: the program ended by itself\n";
            ok = false;
        }
    };

    nameControls(mainWindow);
    mainWindow.show();
    take(&mainWindow, QStringLiteral("main window"), QStringLiteral("main-window.png"));

    mainWindow.menus.settings->trigger();
    if (vellumo::Form2 *dialog = mainWindow.existingForm2())
        nameControls(*dialog);
    take(mainWindow.existingForm2(), QStringLiteral("settings dialog"), QStringLiteral("settings.png"));

    mainWindow.menus.about->trigger();
    if (vellumo::Form3 *dialog = mainWindow.existingForm3())
        nameControls(*dialog);
    take(mainWindow.existingForm3(), QStringLiteral("about box"), QStringLiteral("about.png"));

    nameControls(chooser);
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
