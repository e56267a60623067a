#pragma once

#include <QString>

class QImage;

namespace vellumo {

struct Failure;

// What a command tells the user while it runs. The main window shows it on
// its status bar, progress bar, preview picture and mouse pointer; tests
// record it.
class CommandReport {
public:
    virtual ~CommandReport() = default;

    // Replaces the status text.
    virtual void showStatus(const QString &text) = 0;
    // One progress step: the bar rises by 10 of 100; a step past the end is
    // not taken.
    virtual void add() = 0;
    // The progress bar back to 0.
    virtual void clear() = 0;
    // Shows, or stops showing, that the program is busy.
    virtual void setBusy(bool busy) = 0;
    // How a command ends on a failure: the catalogue's loading stops, and
    // the failure text replaces the status text.
    virtual void reportFailure(const Failure &failure) = 0;
    // A picture to show as the preview.
    virtual void showPicture(const QImage &picture) = 0;
    // Called often while a command waits or works: the window may repaint
    // meanwhile, but starts nothing else.
    virtual void keepResponsive() {}
};

// Shows that the program is busy for as long as it lives: once for a whole
// command, however many transfers it makes.
class BusyWhile {
public:
    explicit BusyWhile(CommandReport &report)
        : report_(report)
    {
        report_.setBusy(true);
    }
    ~BusyWhile() { report_.setBusy(false); }
    BusyWhile(const BusyWhile &) = delete;
    BusyWhile &operator=(const BusyWhile &) = delete;

private:
    CommandReport &report_;
};

} // namespace vellumo
