#include "platform/wine_registry_file.h"

#include <QFile>

namespace vellumo::platform {

namespace {

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// The end of a string that starts after its opening delimiter: the index of
// the first unescaped closing delimiter, or -1.
qsizetype closingDelimiter(QStringView text, qsizetype from, QChar delimiter)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == u'\\')
            ++i;
        else if (text[i] == delimiter)
            return i;
    }
    return -1;
}

} // namespace

QString unescapeWineString(QStringView quoted)
{
    QString text;
    text.reserve(quoted.size());
    for (qsizetype i = 0; i < quoted.size(); ++i) {
        const QChar c = quoted[i];
        if (c != u'\\' || i + 1 == quoted.size()) {
            text += c;
            continue;
        }
        const QChar e = quoted[++i];
        switch (e.unicode()) {
        case 'a': text += QChar(0x07); break;
        case 'b': text += QChar(0x08); break;
        case 't': text += QChar(0x09); break;
        case 'n': text += QChar(0x0A); break;
        case 'v': text += QChar(0x0B); break;
        case 'f': text += QChar(0x0C); break;
        case 'r': text += QChar(0x0D); break;
        case 'e': text += QChar(0x1B); break;
        case 'x': {
            char16_t value = 0;
            int digits = 0;
            while (digits < 4 && i + 1 < quoted.size() && hexDigit(quoted[i + 1]) >= 0) {
                value = char16_t(value * 16 + hexDigit(quoted[++i]));
                ++digits;
            }
            text += digits ? QChar(value) : QChar(u'x');
            break;
        }
        default:
            if (e >= u'0' && e <= u'7') {
                char16_t value = char16_t(e.unicode() - u'0');
                for (int digits = 1; digits < 3 && i + 1 < quoted.size() && quoted[i + 1] >= u'0'
                                     && quoted[i + 1] <= u'7';
                     ++digits)
                    value = char16_t(value * 8 + (quoted[++i].unicode() - u'0'));
                text += QChar(value);
            } else {
                text += e; // \\ \" \[ \] and anything else stand for themselves
            }
        }
    }
    return text;
}

std::optional<QString> readWineRegistryValue(const QString &regFile, const QString &keyPath,
                                             const QString &valueName)
{
    QFile file(regFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    // Wine writes the file in ASCII, with everything else escaped.
    const QString content = QString::fromUtf8(file.readAll());

    bool inKey = false;
    for (QStringView line : QStringView(content).split(u'\n')) {
        if (line.startsWith(u'[')) {
            if (inKey)
                return std::nullopt; // the key is done, the value was not there
            const qsizetype end = closingDelimiter(line, 1, u']');
            inKey = end > 0 && unescapeWineString(line.mid(1, end - 1)).compare(keyPath, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inKey)
            continue;

        QString name;
        qsizetype afterName = 0;
        if (line.startsWith(u'@')) {
            afterName = 1;
        } else if (line.startsWith(u'"')) {
            const qsizetype end = closingDelimiter(line, 1, u'"');
            if (end < 0)
                continue;
            name = unescapeWineString(line.mid(1, end - 1));
            afterName = end + 1;
        } else {
            continue; // comments (#time, #link) and continuation lines
        }
        if (name.compare(valueName, Qt::CaseInsensitive) != 0 || afterName >= line.size() || line[afterName] != u'=')
            continue;

        QStringView data = line.mid(afterName + 1);
        if (data.startsWith(u"str(2):"))
            data = data.mid(7);
        if (!data.startsWith(u'"'))
            return std::nullopt; // a number or binary data
        const qsizetype end = closingDelimiter(data, 1, u'"');
        if (end < 0)
            return std::nullopt;
        return unescapeWineString(data.mid(1, end - 1));
    }
    return std::nullopt;
}

} // namespace vellumo::platform
