#pragma once

#include <QString>

// The maker of the program and its web site, which the about box links to.
namespace vellumo::maker {

inline const QString webSiteDomain = QStringLiteral("www.corvath.example");
inline const QString webSite = QStringLiteral("http://www.corvath.example/");

} // namespace vellumo::maker
