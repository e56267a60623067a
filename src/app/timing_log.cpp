#include "app/timing_log.h"

#include <QEvent>
#include <QMetaObject>

#include <chrono>
#include <cstdio>

#ifdef Q_OS_LINUX
#include <ctime>
#include <unistd.h>
#endif

namespace vellumo {

namespace {

double monotonicMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Milliseconds since the process started; since this file was loaded where
// the system does not tell.
double msSinceProcessStart()
{
#ifdef Q_OS_LINUX
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (stat.open(QIODevice::ReadOnly)) {
        // Field 22, after the command name in parentheses, which may hold spaces.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        timespec now{};
        if (fields.size() > 19 && clock_gettime(CLOCK_BOOTTIME, &now) == 0) {
            const double startMs = fields[19].toDouble() * 1000.0 / double(sysconf(_SC_CLK_TCK));
            return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6 - startMs;
        }
    }
#endif
    static const double loaded = monotonicMs();
    return monotonicMs() - loaded;
}

} // namespace

std::unique_ptr<TimingLog> TimingLog::fromEnvironment()
{
    const QString path = qEnvironmentVariable("VELLUMO_TIMING_LOG");
    if (path.isEmpty())
        return nullptr;
    return std::make_unique<TimingLog>(path);
}

TimingLog::TimingLog(const QString &path)
    : file_(path)
{
    msSinceProcessStart();
    file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void TimingLog::mark(const QByteArray &moment)
{
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%.3f ", msSinceProcessStart());
    const int tail = std::snprintf(line + length, sizeof line - length, " %.3f\n", monotonicMs());
    file_.write(QByteArray(line, length) + moment + QByteArray(line + length, tail));
}

void TimingLog::markAfterNextPaint(QObject *target, const QByteArray &moment)
{
    awaitingPaint_.insert(target, moment);
    target->installEventFilter(this);
}

bool TimingLog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && awaitingPaint_.contains(watched)) {
        watched->removeEventFilter(this);
        // Runs when the event loop is back: the paint has been handed to the window system.
        QMetaObject::invokeMethod(
            this, [this, moment = awaitingPaint_.take(watched)] { mark(moment); }, Qt::QueuedConnection);
    }
    return false;
}

} // namespace vellumo
