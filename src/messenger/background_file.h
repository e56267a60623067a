#pragma once

#include <QString>

namespace vellumo {

// Messenger's background picture, the file lvback.gif in its folder.

// A file without any write permission bit counts as read-only, as Wine and
// Windows treat it; the program checks this itself, since replacing it by
// a rename would otherwise succeed.
bool isReadOnlyFile(const QString &path);

// Copies source over target byte for byte. The copy is written beside the
// target and renamed over it only when complete, so Messenger never sees
// half a picture and a failed install leaves the earlier one in place.
// Throws Failure: FileNotFound (53) for a missing source, PermissionDenied
// (70) for a read-only or protected target, PathFileAccessError (75) when
// the copy cannot be written.
void copyBackground(const QString &source, const QString &target);

// Deletes target. Throws Failure PermissionDenied (70) for a read-only or
// protected file, PathFileAccessError (75) otherwise.
void deleteBackground(const QString &target);

} // namespace vellumo
