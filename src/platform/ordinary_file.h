#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vellumo::platform {

// Whether path names an ordinary file, as a directory listing of files shows
// them: no folder, and on Windows neither a hidden nor a system file. Linux
// has no such attributes: there a name that begins with "." is a file like
// any other.
bool isOrdinaryFile(const std::u16string &path);

// The content of a regular file, opened without following a final link and
// without waiting: a FIFO, a device or a folder is refused at once. Nothing
// when it cannot be read or holds more than maxBytes.
std::optional<std::string> readRegularFile(const std::u16string &path, std::int64_t maxBytes);

} // namespace vellumo::platform
