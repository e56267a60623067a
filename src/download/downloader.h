#pragma once

#include "download/transfer_policy.h"

#include <QString>

#include <deque>
#include <memory>

namespace vellumo {

class CommandReport;
class FileTransfer;
struct TextTable;

// The one way the program fetches a file: a transfer with its progress
// steps and status text.
class Downloader {
public:
    Downloader(TransferSession &session, CommandReport &report, const TextTable &texts);
    ~Downloader();

    // Fetches url into the file pad (blanks around either are removed) and
    // shows succesmessage, or msgDownloadFailed. Answers whether the file was
    // fetched; after a failure, pad holds what it held before.
    bool downloadfile(const QString &url, const QString &pad, const QString &succesmessage,
                      Content content = Content::Picture);

    // Queues url to be fetched into pad alongside the transfers that run
    // meanwhile; the downloadfile() for the same pair then waits for it
    // instead of starting anew, and only then pad changes. Taken best in the
    // order given.
    void prefetch(const QString &url, const QString &pad, Content content);
    // Stops the prefetched transfers that no downloadfile() took.
    void cancelPrefetches();
    // True once the program's transfers were stopped because it closes.
    bool stopped() const;

private:
    TransferSession &session_;
    CommandReport &report_;
    const TextTable &texts_;
    std::deque<std::unique_ptr<FileTransfer>> prefetched_;
};

} // namespace vellumo
