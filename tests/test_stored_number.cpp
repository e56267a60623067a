// Numbers in the settings: what reads as one, and the failures of the 16-bit conversion.

#include "app/failure.h"
#include "app/stored_number.h"

#include <gtest/gtest.h>

using namespace vellumo;

TEST(StoredNumber, AcceptsBlanksSignAndDigitsOnlyAndHugeNumbersStayHuge)
{
    EXPECT_EQ(parseStoredNumber(u"  +01 "), 1);
    EXPECT_EQ(parseStoredNumber(u"\t-7\t"), -7);
    // 2^64 + 1 would wrap round to 1.
    EXPECT_GT(parseStoredNumber(u"18446744073709551617").value_or(0), 32767);
    EXPECT_LT(parseStoredNumber(u"-18446744073709551617").value_or(0), -32768);
    for (const char16_t *text : {u"", u" ", u"+", u"x", u"1x", u"1 2", u"1.0", u"0x1", u"--1", u"\u0661"})
        EXPECT_FALSE(parseStoredNumber(text).has_value()) << QString::fromUtf16(text).toStdString();
}

TEST(StoredNumber, SixteenBitConversionFailsWithTheRightNumber)
{
    auto failureOf = [](const char16_t *text) {
        try {
            storedInt16(text);
        } catch (const Failure &failure) {
            return failure.number();
        }
        return 0;
    };
    EXPECT_EQ(storedInt16(u"32767"), 32767);
    EXPECT_EQ(storedInt16(u"-32768"), -32768);
    for (const auto &[text, number] :
         {std::pair{u"32768", 6}, {u"-32769", 6}, {u"-99999999999999999999", 6}, {u"", 13}})
        EXPECT_EQ(failureOf(text), number) << QString::fromUtf16(text).toStdString();
}
