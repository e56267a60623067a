#include "download/downloader.h"

#include "app/command_report.h"
#include "download/cls_download.h"
#include "download/file_transfer.h"
#include "localisation/text_table.h"

#include <algorithm>

namespace vellumo {

namespace {
// Leading and trailing blanks go; other white space stays.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

Downloader::Downloader(TransferSession &session, CommandReport &report, const TextTable &texts)
    : session_(session)
    , report_(report)
    , texts_(texts)
{
}

Downloader::~Downloader() = default;

void Downloader::prefetch(const QString &url, const QString &pad, Content content)
{
    prefetched_.push_back(session_.start(trimBlanks(url), trimBlanks(pad), content));
}

void Downloader::cancelPrefetches()
{
    prefetched_.clear();
}

bool Downloader::stopped() const
{
    return session_.stopped();
}

bool Downloader::downloadfile(const QString &url, const QString &pad, const QString &succesmessage, Content content)
{
    try {
        const QString address = trimBlanks(url), file = trimBlanks(pad);
        std::unique_ptr<FileTransfer> transfer;
        const auto taken = std::ranges::find_if(prefetched_, [&](const std::unique_ptr<FileTransfer> &prefetched) {
            return prefetched->url() == address && prefetched->target() == file;
        });
        if (taken != prefetched_.end()) {
            transfer = std::move(*taken);
            prefetched_.erase(taken);
        }
        report_.add();
        report_.add();
        const auto whileWaiting = [this] { report_.keepResponsive(); };
        const bool fetched = transfer ? transfer->finish(whileWaiting)
                                      : clsDownload(session_).Get_File(address, file, whileWaiting, content);
        report_.add();
        report_.add();
        report_.add();
        if (fetched) {
            report_.showStatus(succesmessage);
            report_.clear();
        } else {
            report_.showStatus(texts_.msgDownloadFailed);
        }
        return fetched;
    } catch (...) {
        report_.clear();
        report_.showStatus(texts_.msgDownloadFailed);
        return false;
    }
}

} // namespace vellumo
