#include "catalogue/catalogue.h"

#include "app/command_report.h"
#include "app/failure.h"
#include "app/program_files.h"
#include "catalogue/catalogue_files.h"
#include "catalogue/picture_file.h"
#include "download/downloader.h"
#include "localisation/text_table.h"
#include "platform/ordinary_file.h"

#include <QDir>
#include <QSet>

namespace vellumo {

Catalogue::Catalogue(const ProgramFiles &files, Downloader &downloader, CommandReport &report,
                     const TextTable &texts)
    : files_(files)
    , downloader_(downloader)
    , report_(report)
    , texts_(texts)
{
}

void Catalogue::addNode(const QString &parentKey, const QString &key, const QString &text)
{
    if (!indexByKey_.insert(key, nodes_.size()))
        throw Failure{FailureCode::KeyNotUnique};
    nodes_.append(CatalogueNode{parentKey, key, text});
    emit nodeAdded(nodes_.last());
}

void Catalogue::addRootNode()
{
    addNode(QString(), rootKey, rootText);
}

const CatalogueNode *Catalogue::node(const QString &key) const
{
    const qsizetype position = indexByKey_.find(key);
    return position < 0 ? nullptr : &nodes_.at(position);
}

void Catalogue::load()
{
    // A list file that is not in the cache ends the loading.
    const auto stopForMissingList = [this] {
        report_.showStatus(texts_.msgListMissing);
        report_.clear();
    };
    const BusyWhile busy(report_);
    // The category files travel side by side; each is put in the cache only
    // when the loading reaches it, so a load that stops leaves the cache as a
    // load one file after the other would. What it does not reach is cancelled.
    const struct CancelOnExit {
        Downloader &downloader;
        ~CancelOnExit() { downloader.cancelPrefetches(); }
    } cancelPrefetches{downloader_};
    try {
        const QDir cache(files_.cacheFolder());
        const QString listFile = QDir::toNativeSeparators(cache.filePath(skinListName + QStringLiteral(".tmp")));
        if (!loadFromCache)
            downloader_.downloadfile(skinListUrl(baseUrl), listFile, texts_.msgListDownloaded, Content::List);
        report_.add();
        if (!platform::isOrdinaryFile(listFile.toStdU16String()))
            return stopForMissingList();
        const QString list = readListFile(listFile);
        report_.add();
        const QStringList categories = splitList(list);
        if (!loadFromCache) {
            QSet<QString> prefetched; // a name listed twice is fetched again only if its turn comes
            for (const QString &category : categories) {
                if (prefetched.contains(category))
                    continue;
                prefetched.insert(category);
                QString categoryFile;
                try {
                    categoryFile = QDir::toNativeSeparators(cache.filePath(categoryCacheName(category)));
                } catch (const Failure &) {
                    break; // the loading stops at this name
                }
                downloader_.prefetch(categoryFileUrl(baseUrl, category), categoryFile, Content::List);
            }
        }

        for (const QString &category : categories) {
            if (downloader_.stopped())
                return; // the program closes; what is in the cache stays
            const QString categoryKey = category + clock().toString(QStringLiteral("HH:mm:ss"));
            addNode(rootKey, categoryKey, QLatin1Char(' ') + category);
            report_.add();
            // A name that would leave the cache folder fails before its transfer.
            const QString categoryFile = QDir::toNativeSeparators(cache.filePath(categoryCacheName(category)));
            if (!loadFromCache)
                downloader_.downloadfile(categoryFileUrl(baseUrl, category), categoryFile, texts_.msgListDownloaded,
                                         Content::List);
            // Its node stays, childless, with everything added before it.
            if (!platform::isOrdinaryFile(categoryFile.toStdU16String()))
                return stopForMissingList();
            const QString categoryList = readListFile(categoryFile);
            report_.add();
            const QStringList skins = splitList(categoryList);
            indexByKey_.reserve(nodes_.size() + skins.size());
            for (qsizetype i = 0; i < skins.size(); ++i) {
                addNode(categoryKey, skins[i], skins[i]);
                if (i % 64 == 63) // a look at the clock costs more than a node
                    report_.keepResponsive();
            }
            report_.keepResponsive(); // and after every category, even one without skins
        }
        report_.clear();
    } catch (const Failure &failure) {
        report_.reportFailure(failure);
    }
}

void Catalogue::startUpdate()
{
    nodes_.clear();
    indexByKey_.clear();
    emit nodesRemoved();
    addRootNode();
    loadFromCache = false;
}

Catalogue::Selection Catalogue::preview(const QString &key)
{
    const CatalogueNode *clicked = node(key);
    if (!clicked)
        return Selection::None;
    try {
        files_.cacheFolder();
        if (!clicked->isSkin())
            return Selection::Category;
        const BusyWhile busy(report_);
        report_.add();
        report_.showStatus(texts_.msgPreparing);
        report_.add();
        const QString previewFile = files_.previewFile();
        // The preview file still holds an earlier skin when the transfer failed:
        // it is not shown, and the status keeps the transfer's failure.
        if (!downloader_.downloadfile(previewAddress(key), previewFile, texts_.msgSkinDownloaded)) {
            report_.clear();
            return Selection::Failed;
        }
        report_.add();
        try {
            report_.showPicture(readPictureFile(previewFile));
        } catch (const Failure &failure) {
            report_.reportFailure(failure); // the picture shown before stays, and so does this text
            report_.clear();
            return Selection::Failed;
        }
        report_.add();
        report_.showStatus(texts_.msgLoaded);
        report_.clear();
        return Selection::Skin;
    } catch (const Failure &) {
        report_.clear();
        report_.showStatus(texts_.msgDownloadFailed);
        return Selection::None;
    }
}

QString Catalogue::previewAddress(const QString &skinKey) const
{
    const CatalogueNode *skin = node(skinKey);
    if (!skin)
        return {};
    const CatalogueNode *category = node(skin->parentKey);
    return skinPictureUrl(baseUrl, category ? category->text : QString(), skin->text);
}

} // namespace vellumo
