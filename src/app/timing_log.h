#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QObject>

#include <memory>

namespace vellumo {

// A log of the moments a user sees, for benchmarks. When the environment
// variable VELLUMO_TIMING_LOG names a file, every moment is appended to it as
// one line
//
//   <ms since the process started> <moment> <ms of the monotonic clock>
//
// The first figure counts from the start the kernel recorded for the process
// (in steps of its clock tick, 10 ms); the last one is CLOCK_MONOTONIC, which
// a benchmark compares with its own clock for finer figures.
class TimingLog : public QObject {
public:
    // The log that VELLUMO_TIMING_LOG asks for, or none.
    static std::unique_ptr<TimingLog> fromEnvironment();
    explicit TimingLog(const QString &path);

    // Logs the moment now.
    void mark(const QByteArray &moment);
    // Logs the moment once target has painted next: its paint event handled
    // and the painting handed to the window system.
    void markAfterNextPaint(QObject *target, const QByteArray &moment);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QFile file_;
    QHash<QObject *, QByteArray> awaitingPaint_;
};

} // namespace vellumo
