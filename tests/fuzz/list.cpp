// A list: at most 32,767 entries that join back into the text, each a file right in the cache or refused.

#include "app/failure.h"
#include "catalogue/catalogue_files.h"
#include "fuzz_check.h"
#include "localisation/windows1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = decodeWindows1252(QByteArrayView(data, qsizetype(size)));
    try {
        const QStringList entries = splitList(text);
        FUZZ_CHECK(entries.size() <= maxListEntries && entries.join(u'*') == text);
        for (const QString &entry : entries) {
            const QString name = categoryCacheName(entry);
            FUZZ_CHECK(!name.isEmpty() && name != u"." && name != u"..");
            for (const char16_t separator : {u'/', u'\\', u':', u'\0'})
                FUZZ_CHECK(!name.contains(separator));
        }
    } catch (const Failure &failure) {
        FUZZ_CHECK(failure.code == (text.count(u'*') >= maxListEntries ? FailureCode::Overflow : FailureCode::BadFileName));
    }
    return 0;
}
