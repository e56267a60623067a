// The main window's download wrapper and its progress steps.

#include "app/form1.h"
#include "download/cls_download.h"

#include <QApplication>
#include <QProgressBar>

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

// The busy pointer over every window of the program while it lives.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { restore(); }
    void restore()
    {
        if (std::exchange(active_, false))
            QApplication::restoreOverrideCursor();
    }

private:
    bool active_ = true;
};
} // namespace

void Form1::downloadfile(const QString &url, const QString &pad, const QString &succesmessage)
{
    try {
        clsDownload download(*environment_.transfers);
        add();
        BusyPointer busy;
        add();
        const bool fetched = download.Get_File(trimBlanks(url), trimBlanks(pad));
        add();
        busy.restore();
        add();
        add();
        if (fetched) {
            setStatusText(succesmessage);
            clear();
        } else {
            setStatusText(text.msgDownloadFailed);
        }
    } catch (...) {
        clear();
        setStatusText(text.msgDownloadFailed);
    }
}

void Form1::add()
{
    // A step past the maximum is not taken; the bar keeps its value.
    const int next = ProgressBar1->value() + 10;
    if (next <= ProgressBar1->maximum())
        ProgressBar1->setValue(next);
}

void Form1::clear()
{
    ProgressBar1->setValue(0);
}

} // namespace vellumo
