// Where the cache folder lies: beside the program, or in the user's cache folder.

#include "app/program_files.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ProgramFiles, KeepTheCacheBesideTheProgramUnlessItsFolderCannotBeWritten)
{
    const QTemporaryDir userCache, programFolder;
    const QByteArray saved = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", userCache.path().toLocal8Bit());
    // Not even root may make a file in /proc.
    const vellumo::ProgramFiles portable(programFolder.path()), installed(u"/proc"_s);
    EXPECT_EQ(portable.cacheFolder(), programFolder.path() + u"/Cache"_s);
    EXPECT_EQ(installed.cacheFolder(), userCache.path() + u"/vellumo/Cache"_s);
    EXPECT_TRUE(QFileInfo(userCache.path() + u"/vellumo/Cache"_s).isDir());
    EXPECT_EQ(installed.previewFile(), userCache.path() + u"/vellumo/Cache/temp.dat"_s);
    saved.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", saved);
}
