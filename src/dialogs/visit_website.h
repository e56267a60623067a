#pragma once

#include <QString>

namespace vellumo {

// Opens an address in the user's default handler for it, normally the web
// browser. Reports nothing when that is not possible.
void visitWebsite(const QString &site);

} // namespace vellumo
