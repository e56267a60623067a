#pragma once

#include <QString>
#include <QStringList>

namespace vellumo {

// The catalogue's lists: the skin list names the categories, each category
// file names its skins, entries separated by "*" and taken as they stand.

inline const QString skinListName = QStringLiteral("msnskins");
inline constexpr int maxListEntries = 32767;
inline constexpr int maxFileNameBytes = 255;

// The entries of a list; an empty text has none. Throws Failure Overflow (6)
// past 32767 entries.
QStringList splitList(const QString &text);

// A whole list file, read as Windows-1252 text. Throws Failure
// PathFileAccessError (75) when it cannot be read.
QString readListFile(const QString &path);

// The cache file name of a category: the name and ".tmp". Throws Failure
// BadFileName (52) for a name that would leave the cache folder, and for one
// longer than a file name may be (in UTF-8, as Linux stores names).
QString categoryCacheName(const QString &category);

// Addresses below the catalogue's base address.
QString skinListUrl(const QString &baseUrl);
QString categoryFileUrl(const QString &baseUrl, const QString &category);
// The picture of a skin lies in a folder named after its category without
// any spaces; parentText is the category node's text.
QString skinPictureUrl(const QString &baseUrl, const QString &parentText, const QString &skin);

} // namespace vellumo
