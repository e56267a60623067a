#pragma once

#include <QString>

namespace vellumo {

// Fetches one address into one local file, synchronously. Holds no state:
// the connection cache and the memory of unreachable hosts belong to the
// process and are shared by every transfer.
//
// The file is written beside its target and put in place only when the
// transfer succeeded, so a failed or cut-off transfer leaves an earlier
// copy exactly as it was.
class clsDownload {
public:
    // True when the address's content now is the file. Never throws.
    bool Get_File(const QString &sURLFileName, const QString &sSaveFileName);
};

} // namespace vellumo
