#pragma once

// Records what a part reports while a command runs: as a list of events in
// order, and as the main window would show it.

#include "app/command_report.h"
#include "app/failure.h"

#include <QImage>
#include <QStringList>

#include <functional>

namespace vellumo::test {

class RecordedReport : public CommandReport {
public:
    // "status: TEXT", "add", "clear", "busy", "idle", "failure: NUMBER", "picture: WxH"
    QStringList events;
    // The status text ("failure: NUMBER" after a failure), the progress, each
    // value the progress took (as a progress bar reports its changes), the picture.
    QString status;
    int progress = 0;
    QList<int> steps;
    QImage picture;

    QStringList take() { return std::exchange(events, {}); }
    QList<int> takeSteps() { return std::exchange(steps, {}); }

    void showStatus(const QString &text) override { events << QStringLiteral("status: ") + (status = text); }
    void add() override
    {
        if (progress + 10 <= 100)
            steps << (progress += 10);
        events << QStringLiteral("add");
    }
    void clear() override
    {
        if (std::exchange(progress, 0) != 0)
            steps << 0;
        events << QStringLiteral("clear");
    }
    void setBusy(bool on) override { events << (on ? QStringLiteral("busy") : QStringLiteral("idle")); }
    void reportFailure(const Failure &failure) override
    {
        events << (status = QStringLiteral("failure: %1").arg(failure.number()));
    }
    // What the window would do while it is let run (a close, say); nothing unless set.
    std::function<void()> whileLetRun;
    void keepResponsive() override
    {
        if (whileLetRun)
            whileLetRun();
    }
    void showPicture(const QImage &shown) override
    {
        picture = shown;
        events << QStringLiteral("picture: %1x%2").arg(shown.width()).arg(shown.height());
    }
};

} // namespace vellumo::test
