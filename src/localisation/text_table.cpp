#include "localisation/text_table.h"

#include "app/maker.h"

#include <QtGlobal>

namespace vellumo {

namespace {
constexpr std::array<QString TextTable::*, TextTable::size> entries = {
    &TextTable::capCommand1,       &TextTable::msgSkinApplied,   &TextTable::msgSkinRemoved,
    &TextTable::msgErrorPrefix,    &TextTable::msgListDownloaded, &TextTable::msgListMissing,
    &TextTable::msgPreparing,      &TextTable::msgLoaded,        &TextTable::msgDownloadFailed,
    &TextTable::msgSkinDownloaded, &TextTable::capFile,          &TextTable::capUpdate,
    &TextTable::capClose,          &TextTable::capOptions,       &TextTable::capSkin,
    &TextTable::capDeleteSkins,    &TextTable::capManualSkin,    &TextTable::capSettings,
    &TextTable::capLanguage,       &TextTable::capOut,           &TextTable::capIn,
    &TextTable::capHelp,           &TextTable::capVisit,         &TextTable::capMadeFor,
    &TextTable::capThanks,         &TextTable::capUpdateOnStart,
};
} // namespace

QString &TextTable::entry(int line)
{
    Q_ASSERT(line >= 1 && line <= size);
    return this->*entries[static_cast<std::size_t>(line - 1)];
}

const QString &TextTable::entry(int line) const
{
    Q_ASSERT(line >= 1 && line <= size);
    return this->*entries[static_cast<std::size_t>(line - 1)];
}

const TextTable &builtInTexts()
{
    static const TextTable texts = [] {
        TextTable t;
        t.capCommand1 = QStringLiteral("&Zet als skin");
        t.msgSkinApplied = QStringLiteral("Skin succesvol als achtergrond geplaatst!");
        t.msgSkinRemoved = QStringLiteral("Achtergrond succesvol verwijderd!");
        t.msgErrorPrefix = QStringLiteral("Fout opgetreden: ");
        t.msgListDownloaded = QStringLiteral("Skinlijst succesvol gedownload!");
        t.msgListMissing = QStringLiteral("Skinlijst-bestand ontbreekt. Update de skinlijst!");
        t.msgPreparing = QStringLiteral("Bezig met voorbereiden...");
        t.msgLoaded = QStringLiteral("Geladen");
        t.msgDownloadFailed = QStringLiteral("Fout bij het downloaden!");
        t.msgSkinDownloaded = QStringLiteral("Skin succesvol gedownload!");
        t.capFile = QStringLiteral("&Bestand");
        t.capUpdate = QStringLiteral("Update Skin-Lijst");
        t.capClose = QStringLiteral("Sluiten");
        t.capOptions = QStringLiteral("&Opties");
        t.capSkin = QStringLiteral("Geselecteerde als skin instellen");
        t.capDeleteSkins = QStringLiteral("Geen skin instellen");
        t.capManualSkin = QStringLiteral("Skin handmatig instellen");
        t.capSettings = QStringLiteral("Instellingen");
        t.capLanguage = QStringLiteral("Taal modules installeren");
        t.capOut = QStringLiteral("Alles uitklappen");
        t.capIn = QStringLiteral("Alles inklappen");
        t.capHelp = QStringLiteral("&Help");
        t.capVisit = QStringLiteral("Bezoek ") + maker::webSiteDomain;
        t.capMadeFor = QStringLiteral("Gemaakt voor Windows/MSN Messenger 4.x, 5.x, 6.x");
        t.capThanks = QStringLiteral("De volgende mensen die op een \u00e9\u00e9n of andere manier betrokken zijn "
                                     "geweest bij de productie van dit programma willen we bedanken:");
        t.capUpdateOnStart = QStringLiteral("Bij opstarten, de skin-lijst updaten (aanbevolen)");
        return t;
    }();
    return texts;
}

} // namespace vellumo
