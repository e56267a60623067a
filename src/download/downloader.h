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
    // shows succesmessage, or msgDownloadFailed. Returns nothing: callers
    // judge the outcome by the file.
    void downloadfile(const QString &url, const QString &pad, const QString &succesmessage);

private:
    TransferSession &session_;
    CommandReport &report_;
    const TextTable &texts_;
};

} // namespace vellumo
