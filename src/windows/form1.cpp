#include "windows/form1.h"

#include "app/failure.h"
#include "app/maker.h"
#include "app/settings.h"
#include "download/transfer_policy.h"
#include "windows/artwork.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/keyed_tree.h"
#include "windows/main_window_texts.h"
#include "windows/tri_state_check_box.h"
#include "windows/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace vellumo {

platform::CloseHelper Form1::withWaiting(platform::CloseHelper helper)
{
    helper.whileWaiting = [this] { keepResponsive(); };
    return helper;
}

Form1::Form1(Environment environment)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                               | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                               | Qt::MSWindowsFixedSizeDialogHint)
    , environment_(std::move(environment))
    // Closing the program stops its transfers at once; the command then ends.
    , commands_([this](QWindow *window) {
        if (window && window == windowHandle())
            environment_.transfers->stop();
    })
    , files_(environment_.programFolder)
    , localisation_(*environment_.settings)
    , downloader_(*environment_.transfers, *this, localisation_.text)
    , catalogue_(files_, downloader_, *this, localisation_.text)
    , installer_(*environment_.registry, withWaiting(environment_.closeHelper), *this, localisation_.text)
{
    setWindowTitle(mainwindow::caption);
    setWindowIcon(programIcon());

    // The client area lies below the menu bar; every position is relative to it.
    auto *client = new QWidget(this);
    client->setFixedSize(px(6420), px(5295));
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    const TextTable &texts = builtInTexts();

    Command1 = new QPushButton(texts.capCommand1, client);
    Command1->setGeometry(twipsRect(5070, 80, 1215, 375));
    Command1->setEnabled(false);

    TV1 = new KeyedTree(client);
    TV1->setGeometry(twipsRect(120, 480, 3045, 4395));

    scrSkin = new QLabel(client);
    scrSkin->setGeometry(twipsRect(3240, 480, 3045, 4395));
    scrSkin->setScaledContents(true);
    scrSkin->setPixmap(defaultPreviewPicture());

    StatusBar1 = new QStatusBar(client);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(twipsRect(0, 5040, 6420, 255));
    StatusBar1->showMessage(mainwindow::initialStatusText);

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setGeometry(twipsRect(4680, 5085, 1695, 195));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    commands_.drawOnlyWhenLetting(ProgressBar1);
    ProgressBar1->raise();

    loading = new QTimer(this);
    loading->setInterval(10);

    setTabOrder(TV1, Command1);
    setTabOrder(Command1, StatusBar1);
    setTabOrder(StatusBar1, ProgressBar1);

    createMenus();

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(TV1, &KeyedTree::nodeClicked, this, &Form1::TV1_NodeClick);
    connect(loading, &QTimer::timeout, this, &Form1::loading_Timer);
    // The tree shows the catalogue's nodes as they come.
    connect(&catalogue_, &Catalogue::nodeAdded, this,
            [this](const CatalogueNode &node) { TV1->addNode(node.parentKey, node.key, node.text, node.isSkin()); });
    connect(&catalogue_, &Catalogue::nodesRemoved, TV1, &KeyedTree::removeAllNodes);
}

Form1::~Form1()
{
    delete form4_;
    delete form3_;
    delete form2_;
}

void Form1::createMenus()
{
    const TextTable &texts = builtInTexts();
    auto item = [this](QMenu *menu, const QString &caption, void (Form1::*handler)(),
                       const QKeySequence &shortcut = {}) {
        QAction *action = menu->addAction(caption);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    menus.file = menuBar()->addMenu(texts.capFile);
    menus.update = item(menus.file, texts.capUpdate, &Form1::update_Click, QKeySequence(Qt::CTRL | Qt::Key_U));
    menus.none1 = menus.file->addSeparator();
    menus.close = item(menus.file, texts.capClose, &Form1::close_Click, QKeySequence(Qt::CTRL | Qt::Key_S));

    menus.options = menuBar()->addMenu(texts.capOptions);
    menus.skin = item(menus.options, texts.capSkin, &Form1::skin_Click, QKeySequence(Qt::CTRL | Qt::Key_I));
    menus.skin->setEnabled(false);
    menus.deleteskins = item(menus.options, texts.capDeleteSkins, &Form1::deleteskins_Click);
    menus.manualskin = item(menus.options, texts.capManualSkin, &Form1::manualskin_Click);
    menus.none2 = menus.options->addSeparator();
    menus.settings = item(menus.options, texts.capSettings, &Form1::settings_Click);
    menus.language = item(menus.options, texts.capLanguage, &Form1::language_Click);
    menus.none4 = menus.options->addSeparator();
    menus.out = item(menus.options, texts.capOut, &Form1::out_Click);
    menus.in = item(menus.options, texts.capIn, &Form1::in_Click);

    menus.help = menuBar()->addMenu(texts.capHelp);
    menus.visit = item(menus.help, texts.capVisit, &Form1::visit_Click);
    menus.none3 = menus.help->addSeparator();
    menus.about = item(menus.help, QStringLiteral("About"), &Form1::about_Click);
}

void Form1::startUp()
{
    Form4 &chooser = form4();
    if (!chooser.hiddenByLoadStep())
        chooser.show();
}

QString Form1::statusText() const
{
    return StatusBar1->currentMessage();
}

void Form1::setStatusText(const QString &statusText)
{
    ensureLoaded();
    StatusBar1->showMessage(statusText);
}

void Form1::ensureLoaded()
{
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void Form1::reportFailure(const Failure &failure)
{
    loading->stop();
    setStatusText(failureText(localisation_.text.msgErrorPrefix, failure));
}

void Form1::showPicture(const QImage &picture)
{
    scrSkin->setPixmap(QPixmap::fromImage(picture));
}

void Form1::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Form1::add()
{
    // A step past the maximum is not taken; the bar keeps its value.
    const int next = ProgressBar1->value() + 10;
    if (next <= ProgressBar1->maximum())
        ProgressBar1->setValue(next);
}

void Form1::clear()
{
    ProgressBar1->setValue(0);
}

void Form1::Form_Load()
{
    // Loading the window starts the timer; it is enabled from the start.
    loading->start();
    Settings &settings = *environment_.settings;
    try {
        startedPlain = !environment_.commandLine.toLower().contains(QStringLiteral("loadcache"));
        catalogue_.loadFromCache = !startedPlain;

        form2().Check1->setValue(settings.updateList());
        updateOnStart = static_cast<std::int16_t>(form2().Check1->value());

        if (startedPlain)
            catalogue_.loadFromCache = updateOnStart != 1;

        settings.setProgramFolder(QDir::toNativeSeparators(environment_.programFolder));
        catalogue_.baseUrl = settings.baseUrl();

        catalogue_.addRootNode();
        ExpandAllNodes();
    } catch (const Failure &failure) {
        loadFailed_ = true;
        reportFailure(failure);
    }
}

void Form1::closeEvent(QCloseEvent *event)
{
    // The unload is never cancelled.
    event->accept();
    Form_Unload();
}

void Form1::showEvent(QShowEvent *event)
{
    ensureLoaded();
    if (!placed_) {
        placed_ = true;
        if (const QScreen *s = screen())
            move(s->availableGeometry().center() - frameGeometry().center() + pos());
    }
    QMainWindow::showEvent(event);
}

void Form1::Form_Unload()
{
    if (unloading_)
        return;
    unloading_ = true;
    loading->stop();
    // The chooser, the about box and the settings dialog go first, in that order.
    for (QWidget *dialog : {static_cast<QWidget *>(form4_.data()), static_cast<QWidget *>(form3_.data()),
                            static_cast<QWidget *>(form2_.data())}) {
        if (dialog) {
            dialog->hide();
            dialog->deleteLater();
        }
    }
    form4_.clear();
    form3_.clear();
    form2_.clear();
    hide();
    emit programEnded();
}

void Form1::close_Click()
{
    close();
}

void Form1::bringToFront()
{
    QWidget *window = (form4_ && form4_->isVisible()) ? static_cast<QWidget *>(form4_.data()) : this;
    if (!window->isVisible())
        return;
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

Form2 *Form1::existingForm2() const
{
    return form2_;
}

Form3 *Form1::existingForm3() const
{
    return form3_;
}

Form4 *Form1::existingForm4() const
{
    return form4_;
}

Form2 &Form1::form2()
{
    if (!form2_) {
        form2_ = new Form2(*environment_.settings);
        if (const auto &captions = localisation_.appliedCaptions())
            form2_->applyCaptions(*captions);
    }
    return *form2_;
}

Form3 &Form1::form3()
{
    if (!form3_) {
        form3_ = new Form3();
        connect(form3_, &Form3::visitRequested, this, [this] { bezoek(maker::webSite); });
        if (const auto &captions = localisation_.appliedCaptions())
            form3_->applyCaptions(*captions);
    }
    return *form3_;
}

Form4 &Form1::form4()
{
    if (!form4_) {
        form4_ = new Form4(*this);
        form4_->Form_Load();
    }
    return *form4_;
}

void Form1::ExpandAllNodes()
{
    TV1->setAllNodesExpanded(true);
}

void Form1::CollapseAllNodes()
{
    TV1->setAllNodesExpanded(false);
}

void Form1::out_Click()
{
    ExpandAllNodes();
}

void Form1::in_Click()
{
    CollapseAllNodes();
}

} // namespace vellumo
