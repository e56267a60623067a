#pragma once

#include <string>

namespace vellumo::platform {

// Puts the file at from in the place of to, in one step: a reader sees the
// old file or the new one, never part of one. A link named to is replaced,
// not followed. Both lie in the same folder. Nothing is forced to disk.
// Answers whether it worked; when not, both files stay as they were.
bool replaceFile(const std::u16string &from, const std::u16string &to);
// The same, for a file that must survive a crash: its content, then its new
// name, are on the disk when this returns true.
bool replaceFileDurably(const std::u16string &from, const std::u16string &to);

} // namespace vellumo::platform
