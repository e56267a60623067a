#pragma once

// Opening the maker's web site through the desktop's shell.

#include <QString>

namespace vellumo::platform::mdlVisitWebsite {

// Opens an address in the user's default handler for it, normally the web
// browser. Reports nothing when that is not possible.
void openSite(const QString &site);

} // namespace vellumo::platform::mdlVisitWebsite
