#include "dialogs/mdl_visit_website.h"

#include <QDesktopServices>
#include <QUrl>

namespace vellumo {

void mdlVisitWebsite::openSite(const QString &site)
{
    const QUrl url(site);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

} // namespace vellumo
