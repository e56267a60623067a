#pragma once

#include <QString>

namespace vellumo::platform {

// The Wine prefix that Messenger runs in: WINEPREFIX, or ~/.wine.
QString winePrefixFolder();

} // namespace vellumo::platform
