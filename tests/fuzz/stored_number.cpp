// A stored number: a 16-bit value that reads back once printed, or 13 for no number, 6 out of range.

#include "app/failure.h"
#include "app/stored_number.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto number = parseStoredNumber(text);
    try {
        const std::int16_t value = storedInt16(text);
        FUZZ_CHECK(number == value && storedInt16(QStringLiteral(" %1\t").arg(value)) == value);
    } catch (const Failure &failure) {
        FUZZ_CHECK(number ? failure.code == FailureCode::Overflow && (*number < -32768 || *number > 32767)
                          : failure.code == FailureCode::TypeMismatch);
    }
    return 0;
}
