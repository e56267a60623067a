#pragma once

#include <QString>

#include <optional>

namespace vellumo::platform {

// Reads one string value from a registry file of a Wine prefix (system.reg,
// user.reg): keyPath like "Software\\Microsoft\\X" relative to the file's
// root, valueName empty for the key's default value. Key and value names
// match without regard to case. Answers the text of a plain string value
// or of a str(2) value (unexpanded), nothing for any other type, for a
// missing key or value, or a file that cannot be read.
std::optional<QString> readWineRegistryValue(const QString &regFile, const QString &keyPath,
                                             const QString &valueName);

// The text of a quoted name or string as Wine writes it, without its quotes:
// the escapes \\ \" \a \b \t \n \v \f \r \e, octal \ooo and hex \xhhhh.
QString unescapeWineString(QStringView quoted);

} // namespace vellumo::platform
