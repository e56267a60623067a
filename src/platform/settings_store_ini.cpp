#include "platform/settings_store_ini.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace vellumo::platform {

IniSettingsStore::IniSettingsStore(QString configFolder)
    : configFolder_(std::move(configFolder))
{
}

QString IniSettingsStore::filePath(const QString &application, const QString &section) const
{
    return QDir(configFolder_).filePath(application.toLower() + QLatin1Char('/') + section + QStringLiteral(".ini"));
}

std::optional<std::u16string> IniSettingsStore::read(const std::u16string &application,
                                                     const std::u16string &section,
                                                     const std::u16string &key) const
{
    const QSettings ini(filePath(QString::fromStdU16String(application), QString::fromStdU16String(section)),
                        QSettings::IniFormat);
    const QVariant value = ini.value(QString::fromStdU16String(key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdU16String();
}

bool IniSettingsStore::save(const std::u16string &application, const std::u16string &section,
                            const std::u16string &key, const std::u16string &value)
{
    QSettings ini(filePath(QString::fromStdU16String(application), QString::fromStdU16String(section)),
                  QSettings::IniFormat);
    ini.setValue(QString::fromStdU16String(key), QString::fromStdU16String(value));
    ini.sync();
    return ini.status() == QSettings::NoError;
}

// On systems other than Windows the store lives in the user's configuration
// folder, which follows XDG_CONFIG_HOME.
std::unique_ptr<SettingsStore> createUserSettingsStore()
{
    return std::make_unique<IniSettingsStore>(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

} // namespace vellumo::platform
