// The preview of the skin clicked in the catalogue tree.

#include "app/failure.h"
#include "app/form1.h"
#include "catalogue/catalogue_files.h"
#include "catalogue/picture_file.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidgetItem>

namespace vellumo {

void Form1::setInstallCommandsEnabled(bool enabled)
{
    Command1->setEnabled(enabled);
    menus.skin->setEnabled(enabled);
}

void Form1::TV1_NodeClick(QTreeWidgetItem *node)
{
    if (!node)
        return;
    try {
        const QDir cache(cacheFolder());
        // The root and the categories begin with a space; they are never previewed.
        if (node->text(0).startsWith(u' ')) {
            setInstallCommandsEnabled(false);
            return;
        }
        setInstallCommandsEnabled(true);
        add();
        setStatusText(text.msgPreparing);
        add();
        const QString parentText = node->parent() ? node->parent()->text(0) : QString();
        const QString previewFile = QDir::toNativeSeparators(cache.filePath(QStringLiteral("temp.dat")));
        downloadfile(skinPictureUrl(baseUrl, parentText, node->text(0)), previewFile, text.msgSkinDownloaded);
        add();
        LoadPreview(previewFile);
        add();
        setStatusText(text.msgLoaded);
        clear();
    } catch (const Failure &) {
        clear();
        setStatusText(text.msgDownloadFailed);
    }
}

void Form1::LoadPreview(const QString &path)
{
    try {
        scrSkin->setPixmap(QPixmap::fromImage(readPictureFile(path)));
    } catch (const Failure &failure) {
        reportFailure(failure);
    }
}

} // namespace vellumo
