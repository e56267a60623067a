#include "support/test_profile.h"

#include "localisation/windows1252.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QDir>
#include <QEvent>
#include <QFile>

namespace vellumo::test {

TestProfile::TestProfile()
{
    const QDir root(root_.path());
    for (const char *folder : {"program", "config", "runtime", "wine/dosdevices", "wine/drive_c"})
        root.mkpath(QLatin1StringView(folder));
    programFolder_ = root.filePath(QStringLiteral("program"));
    configFolder_ = root.filePath(QStringLiteral("config"));
    runtimeFolder_ = root.filePath(QStringLiteral("runtime"));
    prefixFolder_ = root.filePath(QStringLiteral("wine"));
    QFile::link(QStringLiteral("../drive_c"), prefixFolder_ + QStringLiteral("/dosdevices/c:"));
    qputenv("WINEPREFIX", prefixFolder_.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", configFolder_.toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtimeFolder_.toLocal8Bit());
    store_ = std::make_unique<platform::IniSettingsStore>(configFolder_);
    settings_ = std::make_unique<Settings>(*store_);
    registry_ = platform::createMachineRegistry();
}

TestProfile::~TestProfile() = default;

// The store as the program's section of it; both application names reach it.
QString TestProfile::stored(const QString &key) const
{
    return QString::fromStdU16String(store_->read(u"CorVathSoftware", u"Vellumo", key.toStdU16String()).value_or(u""));
}

bool TestProfile::has(const QString &key) const
{
    return store_->read(u"CorVathSoftware", u"Vellumo", key.toStdU16String()).has_value();
}

void TestProfile::store(const QString &key, const QString &value)
{
    store_->save(u"CorVathSoftware", u"Vellumo", key.toStdU16String(), value.toStdU16String());
}

Environment TestProfile::environment(const QString &commandLine, const QString &closeHelper)
{
    return Environment{.programFolder = programFolder_,
                       .commandLine = commandLine,
                       .settings = settings_.get(),
                       .registry = registry_.get(),
                       .closeHelper = {.path = closeHelper.toStdU16String()},
                       .transfers = &transfers_};
}

void TestProfile::writeProgramFile(const QString &name, const QByteArray &content)
{
    QFile file(QDir(programFolder_).filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write test file %s", qPrintable(file.fileName()));
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray languageFile(const QStringList &lines, const QByteArray &lineEnd, bool finalLineEnd)
{
    QByteArray content;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        content += encodeWindows1252(lines.at(i));
        if (i + 1 < lines.size() || finalLineEnd)
            content += lineEnd;
    }
    return content;
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
