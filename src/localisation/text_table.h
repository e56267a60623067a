#pragma once

#include <QString>

#include <array>

namespace vellumo {

// The texts of the main window that change with the language, in the order
// of the lines of a language file (entry n is line n).
struct TextTable {
    static constexpr int size = 26;

    QString capCommand1;
    QString msgSkinApplied;
    QString msgSkinRemoved;
    QString msgErrorPrefix;
    QString msgListDownloaded;
    QString msgListMissing;
    QString msgPreparing;
    QString msgLoaded;
    QString msgDownloadFailed;
    QString msgSkinDownloaded;
    QString capFile;
    QString capUpdate;
    QString capClose;
    QString capOptions;
    QString capSkin;
    QString capDeleteSkins;
    QString capManualSkin;
    QString capSettings;
    QString capLanguage;
    QString capOut;
    QString capIn;
    QString capHelp;
    QString capVisit;
    QString capMadeFor;
    QString capThanks;
    QString capUpdateOnStart;

    // Entry by its line number, 1 to 26.
    QString &entry(int line);
    const QString &entry(int line) const;
};

// The built-in Dutch texts of every entry.
const TextTable &builtInTexts();

} // namespace vellumo
