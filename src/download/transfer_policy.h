#pragma once

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace vellumo {

// The limits every transfer works under.
struct TransferPolicy {
    std::chrono::milliseconds connectTimeout{15'000};
    // A transfer slower than lowSpeedBytesPerSecond for lowSpeedTime is cut off.
    long lowSpeedBytesPerSecond = 1;
    std::chrono::seconds lowSpeedTime{30};
    std::chrono::milliseconds maxTime{120'000};
    // A picture, and a list: 32,767 names of any sensible length fit in a list.
    std::int64_t maxBytes = 64 * 1024 * 1024;
    std::int64_t maxListBytes = 8 * 1024 * 1024;
    long maxRedirects = 10;
    // After a host could not be resolved or reached, transfers to it fail at
    // once for this long.
    std::chrono::milliseconds unreachableHostPause{30'000};
};

class FileTransfer;

// What a transfer fetches, for its size limit.
enum class Content { Picture, List };

// What the program's transfers share: their limits, one connection cache
// (so a catalogue's files travel over a few kept-alive connections) and the
// hosts that could not be reached lately. The program makes one and passes
// it to whatever transfers; tests make their own with shorter limits. Used
// from one thread.
class TransferSession {
public:
    // Transfers that run at once to one host, as browsers allow.
    static constexpr int connectionsPerHost = 6;

    explicit TransferSession(TransferPolicy policy = {});
    ~TransferSession();
    TransferSession(const TransferSession &) = delete;
    TransferSession &operator=(const TransferSession &) = delete;

    TransferPolicy policy;

    // Starts fetching url (as a person would type it) into a new file
    // beside target; see FileTransfer.
    std::unique_ptr<FileTransfer> start(const QString &url, const QString &target, Content content = Content::Picture);

    // Ends every transfer, running or waiting, as failed, and every later
    // one at once: the program is closing.
    void stop();
    bool stopped() const;

    // host: as hostOfUrl() gives it.
    bool isPaused(const QString &host) const;
    void markUnreachable(const QString &host);
    void markReachable(const QString &host);

private:
    friend class FileTransfer;
    // Runs the transfers until this one has ended, calling whileWaiting
    // at least once a display frame.
    void open();
    void waitFor(FileTransfer &transfer, const std::function<void()> &whileWaiting);
    void startQueued();
    void collectEnded();
    void forget(FileTransfer &transfer);

    struct State;
    std::unique_ptr<State> state_;
};

} // namespace vellumo
