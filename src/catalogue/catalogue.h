#pragma once

#include "catalogue/key_index.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTime>

#include <functional>

namespace vellumo {

class CommandReport;
class Downloader;
class ProgramFiles;
struct TextTable;

// One node of the catalogue tree.
struct CatalogueNode {
    QString parentKey; // empty for the root
    QString key;
    // The root's and the categories' texts begin with a space; a skin's is its name.
    QString text;

    bool isSkin() const { return !text.startsWith(u' '); }
};

} // namespace vellumo

// Three implicitly shared strings: a growing list moves its nodes as bytes
// (realloc), not one by one.
Q_DECLARE_TYPEINFO(vellumo::CatalogueNode, Q_RELOCATABLE_TYPE);

namespace vellumo {

// The skin catalogue as data: the root, the categories and their skins, in
// the order they were added, each under a key of its own. It is loaded from
// the catalogue's web folder or from the cache, and previews a skin.
class Catalogue : public QObject {
    Q_OBJECT
public:
    static inline const QString rootKey = QStringLiteral("msnskins");
    static inline const QString rootText = QStringLiteral(" MSN Skins");

    Catalogue(const ProgramFiles &files, Downloader &downloader, CommandReport &report, const TextTable &texts);

    // Where the catalogue lies: a web folder, ending in "/".
    QString baseUrl;
    // True: the next load builds the catalogue from the cache without
    // downloading.
    bool loadFromCache = false;
    // The time of day that makes category keys unique.
    std::function<QTime()> clock = [] { return QTime::currentTime(); };

    // Adds a node under parentKey (empty: at the top). Throws Failure
    // KeyNotUnique (35602) when the key is taken.
    void addNode(const QString &parentKey, const QString &key, const QString &text);
    void addRootNode();
    const QList<CatalogueNode> &nodes() const { return nodes_; }
    const CatalogueNode *node(const QString &key) const;

    // Downloads the skin list and the category files (unless loadFromCache)
    // and adds their nodes under the root. Reports its steps; a list file
    // missing from the cache ends it, with the nodes added so far.
    void load();
    // Empties the catalogue down to its root; the next load downloads.
    void startUpdate();

    // What a click on a node did.
    enum class Selection {
        None,     // nothing: the cache folder could not be made
        Category, // the root or a category, which is not previewed
        Skin,     // a skin, fetched and shown
        Failed,   // a skin whose picture could not be fetched or is no picture
    };
    // Fetches the picture of the skin with this key into the preview file
    // and shows it. When that fails, the picture shown before stays and the
    // status text tells why.
    Selection preview(const QString &key);
    // The address of a skin's picture: its category's folder (the name
    // without spaces) below the catalogue's base.
    QString previewAddress(const QString &skinKey) const;

signals:
    void nodeAdded(const vellumo::CatalogueNode &node);
    void nodesRemoved();

private:
    const ProgramFiles &files_;
    Downloader &downloader_;
    CommandReport &report_;
    const TextTable &texts_;
    QList<CatalogueNode> nodes_;
    KeyIndex indexByKey_{[this](qsizetype position) { return QStringView(nodes_.at(position).key); }};
};

} // namespace vellumo
