#include "app/stored_number.h"

#include "app/failure.h"

#include <limits>

namespace vellumo {

namespace {
bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
} // namespace

std::optional<std::int64_t> parseStoredNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const qsizetype firstDigit = i;
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 10 - 1;
    std::int64_t value = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        if (value < limit)
            value = value * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    if (i == firstDigit)
        return std::nullopt;
    while (i < n && isBlank(text[i]))
        ++i;
    if (i != n)
        return std::nullopt;
    return negative ? -value : value;
}

std::int16_t storedInt16(QStringView text)
{
    const auto number = parseStoredNumber(text);
    if (!number)
        throw Failure{FailureCode::TypeMismatch};
    if (*number < std::numeric_limits<std::int16_t>::min()
        || *number > std::numeric_limits<std::int16_t>::max())
        throw Failure{FailureCode::Overflow};
    return static_cast<std::int16_t>(*number);
}

} // namespace vellumo
