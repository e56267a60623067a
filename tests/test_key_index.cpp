// The catalogue's key index, over keys kept in a list as the catalogue keeps them.

#include "catalogue/key_index.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace vellumo;

TEST(KeyIndex, FindsEveryKeyAfterGrowingAndRefusesEachOneAgain)
{
    QStringList keys;
    KeyIndex index([&keys](qsizetype position) { return QStringView(keys.at(position)); });
    constexpr int count = 5000; // many times the first table
    for (int i = 0; i < count; ++i) {
        keys << QStringLiteral("Skin %1").arg(i);
        ASSERT_TRUE(index.insert(keys.last(), i)) << i;
    }
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(index.find(keys[i]), i);
        EXPECT_FALSE(index.insert(keys[i], count)) << i;
    }
    EXPECT_EQ(index.find(u"Skin 5000"), -1);
    EXPECT_EQ(index.size(), count);
    index.clear();
    EXPECT_EQ(index.find(keys[0]), -1);
}
