#pragma once

#include "download/transfer_policy.h"

#include <QString>

#include <functional>

namespace vellumo {

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
    // whileWaiting is called at least once a display frame meanwhile.
    bool Get_File(const QString &sURLFileName, const QString &sSaveFileName,
                  const std::function<void()> &whileWaiting = {}, Content content = Content::Picture);

private:
    TransferSession &session_;
};

} // namespace vellumo
