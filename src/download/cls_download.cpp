#include "download/cls_download.h"

#include "download/file_transfer.h"

namespace vellumo {

clsDownload::clsDownload(TransferSession &session)
    : session_(session)
{
}

bool clsDownload::Get_File(const QString &sURLFileName, const QString &sSaveFileName,
                           const std::function<void()> &whileWaiting, Content content)
{
    try {
        return session_.start(sURLFileName, sSaveFileName, content)->finish(whileWaiting);
    } catch (...) {
        return false;
    }
}

} // namespace vellumo
