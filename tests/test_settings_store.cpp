// The settings store on Linux: an INI file per application in the configuration folder.

#include "platform/settings_store_ini.h"
#include "support/test_profile.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace vellumo;

TEST(IniSettingsStore, KeepsValuesExactlyInOneFileForBothApplicationNamesReadingWritesNothingAndAFailedSaveIsReported)
{
    test::TestProfile profile;
    const auto store = platform::createUserSettingsStore(); // the program's, which follows XDG_CONFIG_HOME
    const QString path = profile.configFolder() + QStringLiteral("/corvathsoftware/Vellumo.ini");
    EXPECT_FALSE(store->read(u"CorvathSoftware", u"Vellumo", u"algedaan").has_value());
    EXPECT_FALSE(QFile::exists(path));
    const std::u16string values[] = {u"", u"  padded  ", u"\u00e9\u00e9n; twee = drie", u"@at", u"a\nb",
                                     u"C:\\Program Files\\"};
    for (const auto &value : values) {
        ASSERT_TRUE(store->save(u"CorVathSoftware", u"Vellumo", u"path", value));
        EXPECT_EQ(store->read(u"CorvathSoftware", u"Vellumo", u"path"), value);
    }
    // Every save reaches the file at once, as another reader sees it.
    EXPECT_EQ(QSettings(path, QSettings::IniFormat).value(QStringLiteral("path")),
              QStringLiteral("C:\\Program Files\\"));
    // A file where an application's folder belongs.
    ASSERT_TRUE(QFile(profile.configFolder() + QStringLiteral("/blocked")).open(QIODevice::WriteOnly));
    EXPECT_FALSE(store->save(u"Blocked", u"Vellumo", u"path", u"x"));
}
