#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

class QUrl;

#include <cstdint>
#include <functional>

namespace vellumo {

class TransferSession;

// One address fetched into a new file beside its target, made by
// TransferSession::start(). Transfers run, up to six at a time per host,
// whenever the session waits for one of them. Only finish() puts the file in
// place of the target, so targets change in the order their owners finish
// them; a transfer that fails, or goes unfinished, leaves its target as it
// was and nothing behind.
class FileTransfer {
public:
    ~FileTransfer();
    FileTransfer(const FileTransfer &) = delete;
    FileTransfer &operator=(const FileTransfer &) = delete;

    const QString &url() const { return url_; }
    const QString &target() const { return target_; }

    // Waits until the transfer has ended, calling whileWaiting at least
    // once a display frame; when it succeeded, its file takes the target's
    // place. True when the target now holds the content.
    bool finish(const std::function<void()> &whileWaiting = {});

private:
    friend class TransferSession;
    FileTransfer(TransferSession &session, const QString &url, const QString &target, std::int64_t maxBytes);

    // Opens the new file and hands the transfer to libcurl; false when it
    // cannot start.
    bool begin();
    void readLocalFile(const QUrl &address);
    void end(bool succeeded);
    static std::size_t write(char *data, std::size_t size, std::size_t count, void *self);

    enum class State { Queued, Running, Ended };

    TransferSession &session_;
    const QString url_;
    const QString target_;
    const QString host_;
    const std::int64_t maxBytes_;
    QFile file_;
    void *curl_ = nullptr; // CURL *
    State state_ = State::Queued;
    bool succeeded_ = false;
    std::int64_t received_ = 0;
    bool tooLarge_ = false;
};

} // namespace vellumo
