#include "support/test_profile.h"

#include "localisation/windows1252.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>

namespace vellumo::test {

TestProfile::TestProfile()
{
    const QDir root(root_.path());
    for (const char *folder : {"program", "config", "runtime", "wine/dosdevices", "wine/drive_c"})
        root.mkpath(QLatin1StringView(folder));
    QFile::link(QStringLiteral("../drive_c"), root.filePath(QStringLiteral("wine/dosdevices/c:")));
    qputenv("WINEPREFIX", prefixFolder().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", configFolder().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtimeFolder().toLocal8Bit());
    store_ = std::make_unique<platform::IniSettingsStore>(configFolder());
    settings_ = std::make_unique<Settings>(*store_);
    registry_ = platform::createMachineRegistry();
}

// The store as the program's section of it; both application names reach it.
std::optional<QString> TestProfile::stored(const QString &key) const
{
    const auto text = store_->read(u"CorVathSoftware", u"Vellumo", key.toStdU16String());
    return text ? std::optional(QString::fromStdU16String(*text)) : std::nullopt;
}

void TestProfile::store(const QString &key, const QString &value)
{
    store_->save(u"CorVathSoftware", u"Vellumo", key.toStdU16String(), value.toStdU16String());
}

Environment TestProfile::environment(const QString &commandLine, const QString &closeHelper)
{
    return Environment{.programFolder = programFolder(),
                       .commandLine = commandLine,
                       .settings = settings_.get(),
                       .registry = registry_.get(),
                       .closeHelper = {.path = closeHelper.toStdU16String()},
                       .transfers = &transfers_};
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write test file %s", qPrintable(file.fileName()));
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray languageFile(const QStringList &lines)
{
    return encodeWindows1252(lines.join(QStringLiteral("\r\n"))) + "\r\n";
}

QStringList numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    return lines;
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace vellumo::test
