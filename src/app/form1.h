#pragma once

#include "app/environment.h"
#include "localisation/text_table.h"

#include <QMainWindow>
#include <QPointer>
#include <QTime>

#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;
class QTreeWidgetItem;

namespace vellumo {

class Form2;
class Form3;
class Form4;
class KeyedTree;
struct Failure;

// The main window. It owns the program's shared state and the three dialogs.
// Its procedures are defined beside the subsystem that each belongs to.
class Form1 : public QMainWindow {
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

    // Fields.
    QString baseUrl;
    bool loadFromCache = false;
    std::int16_t updateOnStart = 0;
    bool startedPlain = false;
    TextTable text;

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
    // The full path of a file in the program folder.
    QString programFile(const QString &name) const;

    // Localisation.
    void LoadDefaultLanguage();
    void LoadLanguage(const QString &strBestandspad);

    // Downloads: fetches url into the file pad and reports on the status
    // bar; callers judge the outcome by the file.
    void downloadfile(const QString &url, const QString &pad, const QString &succesmessage);
    void add();
    void clear();

    // Shows the picture in the file as the preview; a failure is reported
    // on the status bar and the previous picture stays.
    void LoadPreview(const QString &path);

    // The clock that gives the time-of-day text of category keys.
    std::function<QTime()> clock = [] { return QTime::currentTime(); };

    // Asks the running Messenger windows to close; reports nothing.
    void closemsn();

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
    void TV1_NodeClick(QTreeWidgetItem *node);
    void loading_Timer();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createMenus();
    void Form_Load();
    void Form_Unload();
    void ExpandAllNodes();
    void CollapseAllNodes();
    void setAllNodesExpanded(bool expanded);
    void addRootNode();
    // The install commands Command1 and menu skin go together.
    void setInstallCommandsEnabled(bool enabled);
    // The cache folder, made when missing; throws Failure when it cannot be.
    QString cacheFolder();
    // The common failure handling of the window's commands: the timer stops
    // and the failure text replaces the status text.
    void reportFailure(const Failure &failure);
    // Captions from the text table, in their fixed order.
    void applyCaptions();
    void applyDialogCaptions(Form2 *form2, Form3 *form3);

    Environment environment_;
    bool loaded_ = false;
    bool loadFailed_ = false;
    bool unloading_ = false;
    bool placed_ = false;
    // The caption texts last applied from a language file; dialogs made
    // again later get them too.
    std::optional<TextTable> appliedCaptions_;
    QPointer<Form2> form2_;
    QPointer<Form3> form3_;
    QPointer<Form4> form4_;
};

} // namespace vellumo
