#pragma once

#include <QString>
#include <QStringList>

namespace vellumo {

// What reading a language file gave: its first lines, at most 26.
struct LanguageFile {
    enum class Status {
        Complete,   // all 26 lines were read
        Missing,    // no ordinary file at the path (none, a folder, or hidden)
        Unreadable, // the file could not be opened, or has fewer than 26 lines
    };

    Status status = Status::Missing;
    // The lines read before the end or the failure, decoded from Windows-1252,
    // without their line ends. Nothing is trimmed.
    QStringList lines;
};

inline constexpr int languageFileLines = 26;

// Reads the first 26 lines of a language file. Lines end in CR LF or LF; a
// line end at the very end of the file starts no new line. Lines after the
// 26th are never read.
LanguageFile readLanguageFile(const QString &path);

} // namespace vellumo
