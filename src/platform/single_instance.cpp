#include "platform/single_instance.h"

#include <QLocalSocket>
#include <QLockFile>

namespace vellumo::platform {

namespace {
const QByteArray request = "activate\n";
const QByteArray reply = "ok\n";
constexpr int connectTimeoutMs = 2000;
constexpr int replyTimeoutMs = 3000;
constexpr int lockTimeoutMs = 5000;
} // namespace

SingleInstance::SingleInstance(QString serverName, QString lockFile, QObject *parent)
    : QObject(parent)
    , serverName_(std::move(serverName))
    , lockFile_(std::move(lockFile))
{
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
            if (socket->bytesAvailable() > 0)
                answer(socket);
        }
    });
}

void SingleInstance::answer(QLocalSocket *socket)
{
    if (!socket->canReadLine())
        return;
    if (socket->readLine() == request) {
        socket->write(reply);
        socket->flush();
        emit activationRequested();
    }
}

bool SingleInstance::askRunningInstance()
{
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(connectTimeoutMs))
        return false;
    socket.write(request);
    socket.waitForBytesWritten(connectTimeoutMs);
    // A running instance that is busy answers later; the request stays
    // queued for it either way.
    socket.waitForReadyRead(replyTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::claim()
{
    // Two starts at the same moment take turns.
    QLockFile lock(lockFile_);
    const bool locked = lock.tryLock(lockTimeoutMs);

    if (askRunningInstance())
        return false;

    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(serverName_)) {
        // Left behind by an instance that did not end cleanly.
        QLocalServer::removeServer(serverName_);
        server_.listen(serverName_);
    }
    if (locked)
        lock.unlock();
    return true;
}

} // namespace vellumo::platform
