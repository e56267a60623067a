#pragma once

#include "app/command_report.h"
#include "app/environment.h"
#include "app/program_files.h"
#include "catalogue/catalogue.h"
#include "download/downloader.h"
#include "localisation/localisation.h"
#include "messenger/background_installer.h"
#include "windows/command_loop.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;

namespace vellumo {

class Form2;
class Form3;
class Form4;
class KeyedTree;

// The main window: a view over the catalogue, the downloader, the
// background installer and the localisation. Its event procedures forward
// to them, and it shows what they report. It also owns the three dialogs.
class Form1 : public QMainWindow, private CommandReport {
    Q_OBJECT
public:
    explicit Form1(Environment environment);
    ~Form1() override;

    // Controls, by their design names.
    QPushButton *Command1;
    KeyedTree *TV1;
    QLabel *scrSkin;
    QStatusBar *StatusBar1;
    QProgressBar *ProgressBar1;
    QTimer *loading;

    struct Menus {
        QMenu *file, *options, *help;
        QAction *update, *none1, *close;
        QAction *skin, *deleteskins, *manualskin, *none2, *settings, *language, *none4, *out, *in;
        QAction *visit, *none3, *about;
    } menus;

    // The state of the settings dialog's box as read back at start, and
    // whether the command line left the choice to it.
    std::int16_t updateOnStart = 0;
    bool startedPlain = false;

    // The parts behind the window.
    const Localisation &localisation() const { return localisation_; }
    Catalogue &catalogue() { return catalogue_; }

    // Starts the program: creates the language chooser, whose load step
    // loads this window, and shows whichever window it decides on.
    void startUp();

    // The status bar's one text. Setting it is a first touch of the window.
    QString statusText() const;
    void setStatusText(const QString &statusText);

    // The window's load step runs once, at the first touch of a control.
    bool isLoaded() const { return loaded_; }
    void ensureLoaded();

    // The dialogs; each is created when first needed.
    Form2 &form2();
    Form3 &form3();
    Form4 &form4();
    Form2 *existingForm2() const;
    Form3 *existingForm3() const;
    Form4 *existingForm4() const;

    const Environment &environment() const { return environment_; }
    const ProgramFiles &files() const { return files_; }

    // The language chooser sets the texts through these.
    void LoadDefaultLanguage();
    void LoadLanguage(const QString &strBestandspad);

    // The progress bar's steps: up by 10 (never past 100), and back to 0.
    void add() override;
    void clear() override;

    // Opens a web address in the user's browser; reports nothing.
    void bezoek(const QString &site);

    // Brings the visible window of the program to the front.
    void bringToFront();

signals:
    // Every window has been unloaded; the program ends.
    void programEnded();

public slots:
    void Command1_Click();
    void skin_Click();
    void deleteskins_Click();
    void manualskin_Click();
    void update_Click();
    void close_Click();
    void settings_Click();
    void language_Click();
    void visit_Click();
    void about_Click();
    void out_Click();
    void in_Click();
    void TV1_NodeClick(const QString &key);
    void loading_Timer();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // What the parts report.
    void showStatus(const QString &text) override { setStatusText(text); }
    void setBusy(bool busy) override;
    void reportFailure(const Failure &failure) override;
    void showPicture(const QImage &picture) override;
    void keepResponsive() override { commands_.keepResponsive(); }

    platform::CloseHelper withWaiting(platform::CloseHelper helper);
    void createMenus();
    void Form_Load();
    void Form_Unload();
    void ExpandAllNodes();
    void CollapseAllNodes();
    // The install commands Command1 and menu skin go together.
    void setInstallCommandsEnabled(bool enabled);
    // The captions of a language file, on this window and the dialogs.
    void applyCaptions(const TextTable &captions);

    Environment environment_;
    CommandLoop commands_;
    ProgramFiles files_;
    Localisation localisation_;
    Downloader downloader_;
    Catalogue catalogue_;
    BackgroundInstaller installer_;
    bool loaded_ = false;
    bool loadFailed_ = false;
    bool unloading_ = false;
    bool placed_ = false;
    QPointer<Form2> form2_;
    QPointer<Form3> form3_;
    QPointer<Form4> form4_;
};

} // namespace vellumo
