#include "app/settings.h"

#include "platform/settings_store.h"

#include <QtDebug>

namespace vellumo {

Settings::Settings(platform::SettingsStore &store)
    : store_(store)
{
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
