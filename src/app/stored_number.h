#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

namespace vellumo {

// A number as the settings store keeps it: optional blanks, an optional sign,
// decimal digits, optional blanks. Anything else is no number. Values too
// large for 64 bits are clamped, which keeps them outside every range we use.
std::optional<std::int64_t> parseStoredNumber(QStringView text);

// The stored text as a 16-bit signed integer.
// Throws Failure TypeMismatch (13) when it is no number, Overflow (6) when
// it lies outside -32768 to 32767.
std::int16_t storedInt16(QStringView text);

} // namespace vellumo
