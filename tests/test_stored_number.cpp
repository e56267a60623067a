#include "app/failure.h"
#include "app/stored_number.h"

#include <gtest/gtest.h>

using namespace vellumo;

TEST(StoredNumber, AcceptsBlanksSignAndDigitsOnly)
{
    EXPECT_EQ(parseStoredNumber(u"1"), 1);
    EXPECT_EQ(parseStoredNumber(u"  +01 "), 1);
    EXPECT_EQ(parseStoredNumber(u"\t-7\t"), -7);
    EXPECT_EQ(parseStoredNumber(u"70000"), 70000);

    for (const char16_t *text : {u"", u" ", u"+", u"x", u"1x", u"1 2", u"1.0", u"0x1", u"--1", u"\u0661"})
        EXPECT_FALSE(parseStoredNumber(text).has_value()) << QString::fromUtf16(text).toStdString();
}

TEST(StoredNumber, HugeNumbersStayHugeInsteadOfWrapping)
{
    const auto huge = parseStoredNumber(u"99999999999999999999999999999");
    ASSERT_TRUE(huge.has_value());
    EXPECT_GT(*huge, 32767);
    const auto hugeNegative = parseStoredNumber(u"-99999999999999999999999999999");
    ASSERT_TRUE(hugeNegative.has_value());
    EXPECT_LT(*hugeNegative, -32768);
}

TEST(StoredNumber, SixteenBitConversionFailsWithTheRightNumber)
{
    EXPECT_EQ(storedInt16(u"32767"), 32767);
    EXPECT_EQ(storedInt16(u"-32768"), -32768);

    auto failureOf = [](const char16_t *text) {
        try {
            storedInt16(text);
        } catch (const Failure &failure) {
            return failure.number();
        }
        return 0;
    };
    EXPECT_EQ(failureOf(u"32768"), 6);
    EXPECT_EQ(failureOf(u"70000"), 6);
    EXPECT_EQ(failureOf(u"-99999999999999999999"), 6);
    EXPECT_EQ(failureOf(u"abc"), 13);
    EXPECT_EQ(failureOf(u""), 13);
}

TEST(FailureText, JoinsPrefixNumberAndDescription)
{
    EXPECT_EQ(failureText(QStringLiteral("Fout opgetreden: "), Failure{FailureCode::FileNotFound}),
              QStringLiteral("Fout opgetreden: 53 - File not found"));
    // A prefix without its trailing blank runs straight into the number.
    EXPECT_EQ(failureText(QStringLiteral("Error:"), Failure{FailureCode::KeyNotUnique}),
              QStringLiteral("Error:35602 - Key is not unique in collection"));
}
