#include "dialogs/visit_website.h"

#include <QDesktopServices>
#include <QUrl>

namespace vellumo {

void visitWebsite(const QString &site)
{
    const QUrl url(site);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

} // namespace vellumo
