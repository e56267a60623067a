#pragma once

#include <string>

namespace vellumo::platform {

// Whether path names an ordinary file, as a directory listing of files shows
// them: no folder, and on Windows neither a hidden nor a system file. Linux
// has no such attributes: there a name that begins with "." is a file like
// any other.
bool isOrdinaryFile(const std::u16string &path);

} // namespace vellumo::platform
