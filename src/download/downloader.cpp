#include "download/downloader.h"

#include "app/command_report.h"
#include "download/cls_download.h"
#include "localisation/text_table.h"

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

// The busy pointer while it lives.
class Busy {
public:
    explicit Busy(CommandReport &report)
        : report_(report)
    {
        report_.setBusy(true);
    }
    ~Busy() { end(); }
    void end()
    {
        if (std::exchange(active_, false))
            report_.setBusy(false);
    }

private:
    CommandReport &report_;
    bool active_ = true;
};
} // namespace

Downloader::Downloader(TransferSession &session, CommandReport &report, const TextTable &texts)
    : session_(session)
    , report_(report)
    , texts_(texts)
{
}

bool Downloader::downloadfile(const QString &url, const QString &pad, const QString &succesmessage)
{
    try {
        clsDownload download(session_);
        report_.add();
        Busy busy(report_);
        report_.add();
        const bool fetched = download.Get_File(trimBlanks(url), trimBlanks(pad));
        report_.add();
        busy.end();
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
