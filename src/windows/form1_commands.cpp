// The main window's catalogue and install commands: each forwards to its
// part, which reports back through the window.

#include "windows/file_dialog.h"
#include "windows/form1.h"
#include "windows/keyed_tree.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>

namespace vellumo {

void Form1::loading_Timer()
{
    if (commands_.running())
        return; // the timer comes again once the command has ended
    const CommandLoop::Command command(commands_);
    // The loading runs once; only the list update starts it again.
    loading->stop();
    catalogue_.load();
    TV1->attachHeldNodes();
}

void Form1::update_Click()
{
    catalogue_.startUpdate();
    ExpandAllNodes();
    loading->start();
}

void Form1::TV1_NodeClick(const QString &key)
{
    const CommandLoop::Command command(commands_);
    switch (catalogue_.preview(key)) {
    case Catalogue::Selection::None:
        break;
    case Catalogue::Selection::Category:
    case Catalogue::Selection::Failed: // the preview file holds no skin the user chose
        setInstallCommandsEnabled(false);
        break;
    case Catalogue::Selection::Skin:
        setInstallCommandsEnabled(true);
        break;
    }
}

void Form1::setInstallCommandsEnabled(bool enabled)
{
    Command1->setEnabled(enabled);
    menus.skin->setEnabled(enabled);
}

void Form1::Command1_Click()
{
    const CommandLoop::Command command(commands_);
    installer_.install(files_.previewFile());
}

void Form1::skin_Click()
{
    Command1_Click();
}

void Form1::deleteskins_Click()
{
    const CommandLoop::Command command(commands_);
    installer_.remove();
}

void Form1::manualskin_Click()
{
    const CommandLoop::Command command(commands_);
    const QString chosen = FileDialog::getOpenFileName(this, QStringLiteral("GIF-files (*.gif)"));
    if (!chosen.isEmpty())
        installer_.installFromDisk(chosen);
}

} // namespace vellumo
