#pragma once

#include <QString>

namespace vellumo {

// Opening the maker's web site through the desktop's shell.
namespace mdlVisitWebsite {

// Opens an address in the user's default handler for it, normally the web
// browser. Reports nothing when that is not possible.
void openSite(const QString &site);

} // namespace mdlVisitWebsite

} // namespace vellumo
