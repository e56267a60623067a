// Windows-1252: each byte one character, never U+FFFD, that encodes back to the byte.

#include "fuzz_check.h"
#include "localisation/windows1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString text = decodeWindows1252(bytes);
    FUZZ_CHECK(text.size() == bytes.size() && !text.contains(QChar::ReplacementCharacter));
    FUZZ_CHECK(encodeWindows1252(text) == bytes);
    return 0;
}
