// Windows and the Linux desktops alike hand an address to the user's
// browser through Qt's desktop services (the shell's "open" on Windows,
// xdg-open or the portal on Linux).

#include "platform/mdl_visit_website.h"

#include <QDesktopServices>
#include <QUrl>

namespace vellumo::platform {

void mdlVisitWebsite::openSite(const QString &site)
{
    const QUrl url(site);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

} // namespace vellumo::platform
