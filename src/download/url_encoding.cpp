#include "download/url_encoding.h"

#include <QUrl>

namespace vellumo {

QString escapeNameForUrl(const QString &name)
{
    QString escaped;
    escaped.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'%')
            escaped += QStringLiteral("%25");
        else if (c == u'#')
            escaped += QStringLiteral("%23");
        else if (c == u'?')
            escaped += QStringLiteral("%3F");
        else
            escaped += c;
    }
    return escaped;
}

namespace {
bool allowedAsItStands(unsigned char b)
{
    if (b <= 0x20 || b >= 0x7F)
        return false;
    switch (b) {
    case '"': case '<': case '>': case '\\': case '^': case '`': case '{': case '|': case '}':
        return false;
    default:
        return true;
    }
}
} // namespace

QByteArray encodeUrlForTransfer(const QString &url)
{
    // The path starts after "scheme://authority"; a backslash there is a
    // path separator, as browsers read it.
    QString text = url;
    const qsizetype schemeEnd = text.indexOf(QStringLiteral("://"));
    qsizetype pathStart = 0;
    if (schemeEnd > 0) {
        pathStart = schemeEnd + 3;
        while (pathStart < text.size() && text[pathStart] != u'/' && text[pathStart] != u'\\'
               && text[pathStart] != u'?' && text[pathStart] != u'#')
            ++pathStart;
    }
    for (qsizetype i = pathStart; i < text.size(); ++i) {
        if (text[i] == u'?' || text[i] == u'#')
            break;
        if (text[i] == u'\\')
            text[i] = u'/';
    }

    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray encoded;
    const QByteArray utf8 = text.toUtf8();
    encoded.reserve(utf8.size());
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (allowedAsItStands(b)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += hex[b >> 4];
            encoded += hex[b & 0xF];
        }
    }
    return encoded;
}

QString hostOfUrl(const QString &url)
{
    const QUrl parsed = QUrl::fromEncoded(encodeUrlForTransfer(url));
    if (parsed.host().isEmpty())
        return {};
    const int defaultPort = parsed.scheme() == u"https" ? 443 : 80;
    return parsed.scheme().toLower() + QStringLiteral("://") + parsed.host().toLower() + QLatin1Char(':')
           + QString::number(parsed.port(defaultPort));
}

} // namespace vellumo
