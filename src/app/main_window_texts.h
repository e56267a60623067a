#pragma once

#include <QString>

// Fixed texts and addresses of the program that no language file changes.
namespace vellumo::mainwindow {

inline const QString caption = QStringLiteral("Vellumo v1.0 - Corvath Software");
inline const QString webSiteDomain = QStringLiteral("www.corvath.example");
inline const QString webSite = QStringLiteral("http://www.corvath.example/");
inline const QString builtInBaseUrl = QStringLiteral("http://skins.corvath.example/msnskins/");
inline const QString initialStatusText = QStringLiteral("Vellumo geladen...");
inline const QString rootKey = QStringLiteral("msnskins");
inline const QString rootText = QStringLiteral(" MSN Skins");

} // namespace vellumo::mainwindow
