#include "platform/settings_store.h"
#include "platform/settings_store_ini.h"
#include "support/test_profile.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace vellumo;
using vellumo::test::TestProfile;

TEST(IniSettingsStore, LivesInTheConfigFolderUnderTheLowerCasedApplication)
{
    TestProfile profile;
    // The store the program makes follows XDG_CONFIG_HOME.
    const auto store = platform::createUserSettingsStore();
    ASSERT_TRUE(store->save(u"CorVathSoftware", u"Vellumo", u"updatelist", u"1"));

    const QString path = profile.configFolder() + QStringLiteral("/corvathsoftware/Vellumo.ini");
    ASSERT_TRUE(QFile::exists(path));
    // Every save reaches the file at once, as another reader sees it.
    QSettings reader(path, QSettings::IniFormat);
    EXPECT_EQ(reader.value(QStringLiteral("updatelist")).toString(), QStringLiteral("1"));
}

TEST(IniSettingsStore, BothApplicationNamesMeet)
{
    TestProfile profile;
    platform::IniSettingsStore &store = profile.iniStore();
    ASSERT_TRUE(store.save(u"CorVathSoftware", u"Vellumo", u"base", u"http://127.0.0.1/x/"));
    EXPECT_EQ(store.read(u"CorvathSoftware", u"Vellumo", u"base"), std::u16string(u"http://127.0.0.1/x/"));
    ASSERT_TRUE(store.save(u"CorvathSoftware", u"Vellumo", u"language", u"English.lng"));
    EXPECT_EQ(store.read(u"CorVathSoftware", u"Vellumo", u"language"), std::u16string(u"English.lng"));
}

TEST(IniSettingsStore, ReadsAbsentKeysWithoutWritingAnything)
{
    TestProfile profile;
    platform::IniSettingsStore &store = profile.iniStore();
    EXPECT_FALSE(store.read(u"CorvathSoftware", u"Vellumo", u"algedaan").has_value());
    EXPECT_FALSE(QFile::exists(store.filePath(QStringLiteral("CorvathSoftware"), QStringLiteral("Vellumo"))));
    // Default as the program asks for it.
    EXPECT_EQ(profile.settings().read(Settings::languageApplication, QStringLiteral("algedaan"), QStringLiteral("0")),
              QStringLiteral("0"));
}

TEST(IniSettingsStore, KeepsValuesExactly)
{
    TestProfile profile;
    platform::IniSettingsStore &store = profile.iniStore();
    const std::u16string values[] = {u"", u"  padded  ", u"\u00e9\u00e9n; twee = drie", u"@at", u"a\nb", u"C:\\Program Files\\"};
    for (const auto &value : values) {
        ASSERT_TRUE(store.save(u"CorVathSoftware", u"Vellumo", u"path", value));
        EXPECT_EQ(store.read(u"CorVathSoftware", u"Vellumo", u"path"), value);
    }
}

TEST(IniSettingsStore, ReportsAStoreThatCannotBeWritten)
{
    TestProfile profile;
    // A file where the application's folder should be.
    QFile blocker(profile.configFolder() + QStringLiteral("/corvathsoftware"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(profile.iniStore().save(u"CorVathSoftware", u"Vellumo", u"path", u"x"));
}
