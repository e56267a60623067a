#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace vellumo::platform {

// One running program per user. The first start claims a local socket;
// a later start finds it, asks the first to come to the front, and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // serverName: the local socket; lockFile: a file path that serialises
    // starts happening at the same moment.
    SingleInstance(QString serverName, QString lockFile, QObject *parent = nullptr);

    // True when this process is the only one and now listens for later
    // starts. False when another instance runs; it has been asked to bring
    // its window to the front.
    bool claim();

signals:
    // A later start asked this instance to come to the front.
    void activationRequested();

private:
    bool askRunningInstance();
    void answer(class QLocalSocket *socket);

    QString serverName_;
    QString lockFile_;
    QLocalServer server_;
};

// The per-user socket of the program (a path under XDG_RUNTIME_DIR on
// Linux, a pipe name on Windows) and its lock file.
struct SingleInstanceAddress {
    QString serverName;
    QString lockFile;
};
SingleInstanceAddress singleInstanceAddress();

} // namespace vellumo::platform
