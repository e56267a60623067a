// A language file: its first 26 lines at most, decoded without LF or CR LF; complete only with 26, else unreadable.

#include "fuzz_check.h"
#include "localisation/language_file.h"
#include "localisation/windows1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const LanguageFile file = readLanguageFile(writeInput(data, size));
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    FUZZ_CHECK(file.lines.size() == qMin(lines.size(), qsizetype(languageFileLines)));
    FUZZ_CHECK(file.status == (file.lines.size() == languageFileLines ? LanguageFile::Status::Complete
                                                                      : LanguageFile::Status::Unreadable));
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        if ((i + 1 < lines.size() || bytes.endsWith('\n')) && lines[i].endsWith('\r'))
            lines[i].chop(1);
        FUZZ_CHECK(file.lines[i] == decodeWindows1252(lines[i]));
    }
    return 0;
}
