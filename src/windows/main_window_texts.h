#pragma once

#include <QString>

// Fixed texts of the main window that no language file changes.
namespace vellumo::mainwindow {

inline const QString caption = QStringLiteral("Vellumo v1.0 - Corvath Software");
inline const QString initialStatusText = QStringLiteral("Vellumo geladen...");

} // namespace vellumo::mainwindow
