// The main window's catalogue loading and the list update.

#include "app/failure.h"
#include "app/form1.h"
#include "app/keyed_tree.h"
#include "app/main_window_texts.h"
#include "catalogue/catalogue_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace vellumo {

namespace {
bool isOrdinaryFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}
} // namespace

QString Form1::cacheFolder()
{
    const QString folder = programFile(QStringLiteral("Cache"));
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder))
        throw Failure{QFileInfo::exists(environment_.programFolder) ? FailureCode::PathFileAccessError
                                                                    : FailureCode::PathNotFound};
    return folder;
}

void Form1::loading_Timer()
{
    // A list file that is not in the cache ends the loading.
    const auto stopForMissingList = [this] {
        setStatusText(text.msgListMissing);
        loading->stop();
        clear();
    };
    try {
        const QDir cache(cacheFolder());
        const QString listFile = QDir::toNativeSeparators(cache.filePath(skinListName + QStringLiteral(".tmp")));
        if (!loadFromCache)
            downloadfile(skinListUrl(baseUrl), listFile, text.msgListDownloaded);
        add();
        if (!isOrdinaryFile(listFile)) {
            return stopForMissingList();
        }
        const QStringList categories = splitList(readListFile(listFile));
        add();

        for (const QString &category : categories) {
            const QString categoryKey = category + clock().toString(QStringLiteral("HH:mm:ss"));
            TV1->addNode(mainwindow::rootKey, categoryKey, QLatin1Char(' ') + category);
            add();
            // A name that would leave the cache folder fails before its transfer.
            const QString categoryFile = QDir::toNativeSeparators(cache.filePath(categoryCacheName(category)));
            if (!loadFromCache)
                downloadfile(categoryFileUrl(baseUrl, category), categoryFile, text.msgListDownloaded);
            if (!isOrdinaryFile(categoryFile)) {
                // Its node stays, childless, with everything added before it.
                return stopForMissingList();
            }
            const QStringList skins = splitList(readListFile(categoryFile));
            add();
            for (const QString &skin : skins)
                TV1->addNode(categoryKey, skin, skin);
        }
        clear();
        loading->stop();
    } catch (const Failure &failure) {
        reportFailure(failure);
    }
}

void Form1::update_Click()
{
    TV1->removeAllNodes();
    addRootNode();
    ExpandAllNodes();
    loadFromCache = false;
    loading->start();
}

} // namespace vellumo
