#pragma once

#include <QString>

namespace vellumo {

// The files the program keeps beside itself: the program folder, and in it
// the cache folder with the catalogue's lists and the last preview.
//
// An installed copy lies in a folder its user cannot write. Its cache then
// lives in the user's cache folder instead, $XDG_CACHE_HOME/vellumo/Cache
// (~/.cache/vellumo/Cache), as Windows redirects old programs that write
// beside themselves. A cache folder left in such a program folder is not used.
class ProgramFiles {
public:
    // programFolder: without a trailing separator.
    explicit ProgramFiles(QString programFolder);

    const QString &folder() const { return folder_; }
    // The full path of a file in the program folder, with the platform's separators.
    QString file(const QString &name) const;

    // The cache folder, made when missing. Throws Failure PathNotFound (76)
    // when the program folder is gone, PathFileAccessError (75) when the
    // cache folder cannot be made.
    QString cacheFolder() const;
    // The picture of the skin previewed last, in the cache folder.
    QString previewFile() const;

private:
    // Where the cache folder belongs, by trying to write in the program
    // folder: permission bits do not tell, root may write anywhere they say no.
    // Tried once: every load and preview asks.
    QString cacheLocation() const;

    QString folder_;
    mutable QString cacheLocation_;
};

} // namespace vellumo
