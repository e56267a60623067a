#pragma once

#include <QByteArray>
#include <QString>

namespace vellumo {

// Percent-encodes "%", "#" and "?" in a name that becomes part of an
// address, so that the name reaches its own file.
QString escapeNameForUrl(const QString &name);

// The address as it goes on the wire: "\" in the path becomes "/", and what
// an address does not allow as it stands (blanks, controls, non-ASCII as
// UTF-8, and a few signs) is percent-encoded. "%" is never encoded again.
QByteArray encodeUrlForTransfer(const QString &url);

// scheme://host:port of an address, lower case; empty when it has no host.
QString hostOfUrl(const QString &url);

} // namespace vellumo
