#include "catalogue/catalogue_files.h"

#include "app/failure.h"
#include "download/url_encoding.h"
#include "localisation/windows1252.h"

#include <QFile>

namespace vellumo {

QStringList splitList(const QString &text)
{
    if (text.isEmpty())
        return {};
    if (text.count(u'*') >= maxListEntries)
        throw Failure{FailureCode::Overflow};
    return text.split(u'*');
}

QString readListFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure{FailureCode::PathFileAccessError};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure{FailureCode::PathFileAccessError};
    return decodeWindows1252(bytes);
}

QString categoryCacheName(const QString &category)
{
    const QString name = category + QStringLiteral(".tmp");
    if (category == u"." || category == u".." || category.contains(u'/') || category.contains(u'\\')
        || category.contains(u':') || category.contains(QChar(0)) || name.toUtf8().size() > maxFileNameBytes)
        throw Failure{FailureCode::BadFileName};
    return name;
}

QString skinListUrl(const QString &baseUrl)
{
    return baseUrl + skinListName + QStringLiteral(".txt");
}

QString categoryFileUrl(const QString &baseUrl, const QString &category)
{
    return baseUrl + escapeNameForUrl(category) + QStringLiteral(".txt");
}

QString skinPictureUrl(const QString &baseUrl, const QString &parentText, const QString &skin)
{
    QString folder = parentText;
    folder.remove(u' ');
    return baseUrl + escapeNameForUrl(folder) + QLatin1Char('/') + escapeNameForUrl(skin) + QStringLiteral(".gif");
}

} // namespace vellumo
