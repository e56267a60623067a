// Addresses from lines base, category, skin: built, the base and a rest decoding to the file's name;
// on the wire, only what an address allows as it stands, and unchanged by encoding again ("%" too).

#include "catalogue/catalogue_files.h"
#include "download/url_encoding.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(u'\n');
    const QString base = lines.value(0), category = lines.value(1), skin = lines.value(2);
    const std::pair<QString, QString> built[] = {
        {categoryFileUrl(base, category), category + QStringLiteral(".txt")},
        {skinPictureUrl(base, category, skin), QString(category).remove(u' ') + u'/' + skin + QStringLiteral(".gif")},
    };
    for (const auto &[url, file] : built) {
        const QString rest = url.mid(base.size());
        FUZZ_CHECK(url.startsWith(base) && !rest.contains(u'#') && !rest.contains(u'?'));
        FUZZ_CHECK(QByteArray::fromPercentEncoding(rest.toUtf8()) == file.toUtf8());
        const QByteArray wire = encodeUrlForTransfer(url);
        for (const char c : wire)
            FUZZ_CHECK(c > 0x20 && c < 0x7F && !QByteArrayView("\"<>\\^`{|}").contains(c));
        FUZZ_CHECK(encodeUrlForTransfer(QString::fromLatin1(wire)) == wire);
    }
    return 0;
}
