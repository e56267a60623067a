#pragma once

#include <QString>

namespace vellumo {

class TransferSession;

// Fetches one address into one local file, synchronously, under the limits,
// connection cache and memory of unreachable hosts of its session.
//
// The file is written beside its target and put in place only when the
// transfer succeeded, so a failed or cut-off transfer leaves an earlier
// copy exactly as it was.
class clsDownload {
public:
    explicit clsDownload(TransferSession &session);

    // True when the address's content now is the file. Never throws.
    bool Get_File(const QString &sURLFileName, const QString &sSaveFileName);

private:
    TransferSession &session_;
};

} // namespace vellumo
