#pragma once

#include <QString>

namespace vellumo {

class CommandReport;
class TransferSession;
struct TextTable;

// The one way the program fetches a file: a transfer with its progress
// steps, busy pointer and status text.
class Downloader {
public:
    Downloader(TransferSession &session, CommandReport &report, const TextTable &texts);

    // Fetches url into the file pad (blanks around either are removed) and
    // shows succesmessage, or msgDownloadFailed. Answers whether the file was
    // fetched; after a failure, pad holds what it held before.
    bool downloadfile(const QString &url, const QString &pad, const QString &succesmessage);

private:
    TransferSession &session_;
    CommandReport &report_;
    const TextTable &texts_;
};

} // namespace vellumo
