#include "app/settings.h"

#include "app/stored_number.h"
#include "platform/settings_store.h"

#include <QtDebug>

namespace vellumo {

namespace {
const QString languageKey = QStringLiteral("language");
const QString languageChosenKey = QStringLiteral("algedaan");
const QString updateListKey = QStringLiteral("updatelist");
const QString programFolderKey = QStringLiteral("path");
const QString baseUrlKey = QStringLiteral("base");
} // namespace

Settings::Settings(platform::SettingsStore &store)
    : store_(store)
{
}

QString Settings::language() const
{
    return read(languageApplication, languageKey, QString());
}

void Settings::setLanguage(const QString &fileName)
{
    save(languageApplication, languageKey, fileName);
}

bool Settings::languageChosen() const
{
    return parseStoredNumber(read(languageApplication, languageChosenKey, QStringLiteral("0"))) == 1;
}

void Settings::setLanguageChosen()
{
    save(languageApplication, languageChosenKey, QStringLiteral("1"));
}

std::int16_t Settings::updateList() const
{
    return storedInt16(read(mainApplication, updateListKey, QStringLiteral("1")));
}

void Settings::setUpdateList(int state)
{
    save(mainApplication, updateListKey, QString::number(state));
}

void Settings::setProgramFolder(const QString &programFolder)
{
    save(mainApplication, programFolderKey, programFolder);
}

QString Settings::baseUrl() const
{
    return read(mainApplication, baseUrlKey, builtInBaseUrl);
}

QString Settings::read(const QString &application, const QString &key, const QString &defaultValue) const
{
    const auto value = store_.read(application.toStdU16String(), section.toStdU16String(), key.toStdU16String());
    return value ? QString::fromStdU16String(*value) : defaultValue;
}

void Settings::save(const QString &application, const QString &key, const QString &value)
{
    if (!store_.save(application.toStdU16String(), section.toStdU16String(), key.toStdU16String(),
                     value.toStdU16String()))
        qWarning("Vellumo: the setting \"%s\" could not be saved", qUtf8Printable(key));
}

} // namespace vellumo
