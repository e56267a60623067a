#include "download/file_transfer.h"

#include "app/new_file.h"
#include "download/transfer_policy.h"
#include "download/url_encoding.h"
#include "platform/curl_library.h"
#include "platform/ordinary_file.h"
#include "platform/replace_file.h"

#include <QHash>
#include <QUrl>

#include <chrono>
#include <deque>

namespace vellumo {

namespace {
using Clock = std::chrono::steady_clock;

// libcurl, once a session has opened (and found it).
const platform::CurlLibrary &libcurl()
{
    return *platform::curlLibrary();
}

bool hostUnreachable(CURLcode code, CURL *curl)
{
    if (code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_RESOLVE_PROXY || code == CURLE_COULDNT_CONNECT)
        return true;
    if (code == CURLE_OPERATION_TIMEDOUT) {
        // Timed out before a request went out: not over a connection that was
        // made, nor over a kept-alive one (whose connect time reads 0 too).
        curl_off_t connected = 0;
        long sent = 0;
        libcurl().easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connected);
        libcurl().easy_getinfo(curl, CURLINFO_REQUEST_SIZE, &sent);
        return connected == 0 && sent == 0;
    }
    return false;
}

// Only a final 2xx answer is content (file: has no status); a 3xx without
// a place to go is not.
bool isContent(CURL *curl)
{
    long status = 0;
    libcurl().easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    return status == 0 || (status >= 200 && status <= 299);
}
} // namespace

struct TransferSession::State {
    CURLSH *share = nullptr;
    CURLM *multi = nullptr;
    QHash<QString, Clock::time_point> unreachableUntil;
    // Per host: the transfers waiting for a connection, oldest first, and how many run.
    QHash<QString, std::deque<FileTransfer *>> queued;
    QHash<QString, int> running;
    QList<FileTransfer *> inLibcurl;
    bool stopped = false;
};

TransferSession::TransferSession(TransferPolicy policy)
    : policy(policy)
    , state_(std::make_unique<State>())
{
}

// libcurl (and the TLS library below it) is loaded and set up at the first
// transfer, not at start: a start needs none.
void TransferSession::open()
{
    if (state_->multi || !platform::curlLibrary())
        return; // without libcurl every transfer fails
    state_->share = libcurl().share_init();
    libcurl().share_setopt(state_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    libcurl().share_setopt(state_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    libcurl().share_setopt(state_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    state_->multi = libcurl().multi_init();
}

TransferSession::~TransferSession()
{
    // Transfers outlive their session only by mistake; they are ended first.
    if (state_->multi) {
        libcurl().multi_cleanup(state_->multi);
        libcurl().share_cleanup(state_->share);
    }
}

bool TransferSession::isPaused(const QString &host) const
{
    const auto it = state_->unreachableUntil.constFind(host);
    return it != state_->unreachableUntil.cend() && Clock::now() < it.value();
}

void TransferSession::markUnreachable(const QString &host)
{
    if (!host.isEmpty())
        state_->unreachableUntil.insert(host, Clock::now() + policy.unreachableHostPause);
}

void TransferSession::markReachable(const QString &host)
{
    state_->unreachableUntil.remove(host);
}

std::unique_ptr<FileTransfer> TransferSession::start(const QString &url, const QString &target, Content content)
{
    open();
    std::unique_ptr<FileTransfer> transfer(
        new FileTransfer(*this, url, target, content == Content::List ? policy.maxListBytes : policy.maxBytes));
    state_->queued[transfer->host_].push_back(transfer.get());
    startQueued();
    return transfer;
}

void TransferSession::stop()
{
    state_->stopped = true;
    std::vector<FileTransfer *> unended;
    for (const std::deque<FileTransfer *> &waiting : std::as_const(state_->queued))
        unended.insert(unended.end(), waiting.begin(), waiting.end());
    unended.insert(unended.end(), state_->inLibcurl.begin(), state_->inLibcurl.end());
    for (FileTransfer *transfer : unended)
        transfer->end(false);
}

bool TransferSession::stopped() const
{
    return state_->stopped;
}

// A transfer joins libcurl only when a connection is free for it: libcurl
// would count the time it waits for one against its time limits.
void TransferSession::startQueued()
{
    for (auto it = state_->queued.begin(); it != state_->queued.end();) {
        std::deque<FileTransfer *> &waiting = it.value();
        int &running = state_->running[it.key()];
        while (!waiting.empty() && running < connectionsPerHost) {
            FileTransfer *next = waiting.front();
            waiting.pop_front();
            if (next->begin())
                ++running;
        }
        it = waiting.empty() ? state_->queued.erase(it) : std::next(it);
    }
}

void TransferSession::collectEnded()
{
    int left = 0;
    while (CURLMsg *message = libcurl().multi_info_read(state_->multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        FileTransfer *transfer = nullptr;
        libcurl().easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
        const CURLcode code = message->data.result;
        CURL *curl = message->easy_handle;
        if (hostUnreachable(code, curl)) {
            markUnreachable(transfer->host_);
            char *effective = nullptr;
            if (libcurl().easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
                markUnreachable(hostOfUrl(QString::fromUtf8(effective)));
        } else {
            markReachable(transfer->host_);
        }
        transfer->end(code == CURLE_OK && !transfer->tooLarge_ && isContent(curl));
    }
}

void TransferSession::waitFor(FileTransfer &transfer, const std::function<void()> &whileWaiting)
{
    while (transfer.state_ != FileTransfer::State::Ended) {
        startQueued();
        if (transfer.state_ == FileTransfer::State::Ended)
            break; // ended as it began (without libcurl, every one does)
        int running = 0;
        libcurl().multi_perform(state_->multi, &running);
        collectEnded();
        if (transfer.state_ == FileTransfer::State::Ended)
            break;
        libcurl().multi_poll(state_->multi, nullptr, 0, whileWaiting ? 16 : 100, nullptr);
        if (whileWaiting)
            whileWaiting(); // which may stop the session
    }
}

// Takes the transfer out of the queue or out of libcurl.
void TransferSession::forget(FileTransfer &transfer)
{
    if (transfer.state_ == FileTransfer::State::Queued) {
        const auto it = state_->queued.find(transfer.host_);
        if (it != state_->queued.end())
            std::erase(it.value(), &transfer);
    } else if (transfer.curl_) {
        libcurl().multi_remove_handle(state_->multi, static_cast<CURL *>(transfer.curl_));
        libcurl().easy_cleanup(static_cast<CURL *>(transfer.curl_));
        transfer.curl_ = nullptr;
        --state_->running[transfer.host_];
        state_->inLibcurl.removeOne(&transfer);
    }
}

FileTransfer::FileTransfer(TransferSession &session, const QString &url, const QString &target, std::int64_t maxBytes)
    : session_(session)
    , url_(url)
    , target_(target)
    , host_(hostOfUrl(url))
    , maxBytes_(maxBytes)
{
}

FileTransfer::~FileTransfer()
{
    session_.forget(*this);
    if (file_.isOpen())
        file_.close();
    if (!file_.fileName().isEmpty())
        file_.remove();
}

bool FileTransfer::begin()
{
    if (session_.stopped() || session_.isPaused(host_)) {
        end(false);
        return false;
    }
    openNewFileBeside(file_, target_);
    const QUrl address = QUrl::fromEncoded(encodeUrlForTransfer(url_));
    if (file_.isOpen() && address.scheme().compare(u"file", Qt::CaseInsensitive) == 0) {
        readLocalFile(address);
        return false;
    }
    CURL *curl = file_.isOpen() && session_.state_->multi ? libcurl().easy_init() : nullptr;
    if (!curl) {
        end(false);
        return false;
    }
    curl_ = curl;
    const platform::CurlLibrary &lib = libcurl();
    state_ = State::Running;
    const TransferPolicy &policy = session_.policy;
    const QByteArray url = encodeUrlForTransfer(url_);
    lib.easy_setopt(curl, CURLOPT_PRIVATE, this);
    lib.easy_setopt(curl, CURLOPT_SHARE, session_.state_->share);
    lib.easy_setopt(curl, CURLOPT_URL, url.constData()); // copied by libcurl
    lib.easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    lib.easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    lib.easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    lib.easy_setopt(curl, CURLOPT_MAXREDIRS, policy.maxRedirects);
    lib.easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    lib.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(policy.connectTimeout.count()));
    lib.easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(policy.maxTime.count()));
    lib.easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, policy.lowSpeedBytesPerSecond);
    lib.easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(policy.lowSpeedTime.count()));
    lib.easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(maxBytes_));
    lib.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    lib.easy_setopt(curl, CURLOPT_USERAGENT, "Vellumo/1.0");
    lib.easy_setopt(curl, CURLOPT_WRITEFUNCTION, &FileTransfer::write);
    lib.easy_setopt(curl, CURLOPT_WRITEDATA, this);
    if (lib.multi_add_handle(session_.state_->multi, curl) != CURLM_OK) {
        lib.easy_cleanup(curl);
        curl_ = nullptr;
        end(false);
        return false;
    }
    session_.state_->inLibcurl.append(this);
    return true;
}

std::size_t FileTransfer::write(char *data, std::size_t size, std::size_t count, void *self)
{
    auto &transfer = *static_cast<FileTransfer *>(self);
    const std::size_t bytes = size * count;
    transfer.received_ += std::int64_t(bytes);
    // Counted here: a server that sends no length is not stopped by libcurl.
    if (transfer.received_ > transfer.maxBytes_) {
        transfer.tooLarge_ = true;
        return 0;
    }
    return transfer.file_.write(data, qint64(bytes)) == qint64(bytes) ? bytes : 0;
}

// A file: address is read here, not by libcurl, whose open() of a FIFO would
// wait for a writer for ever: only an ordinary file on this machine, under
// the same size limit.
void FileTransfer::readLocalFile(const QUrl &address)
{
    const bool here = address.host().isEmpty() || address.host().compare(u"localhost", Qt::CaseInsensitive) == 0;
    const std::optional<std::string> content
        = here ? platform::readRegularFile(address.toLocalFile().toStdU16String(), maxBytes_) : std::nullopt;
    end(content && file_.write(content->data(), qint64(content->size())) == qint64(content->size()));
}

void FileTransfer::end(bool succeeded)
{
    session_.forget(*this);
    state_ = State::Ended;
    if (file_.isOpen())
        file_.close(); // flushes
    succeeded_ = succeeded && file_.error() == QFileDevice::NoError && !file_.fileName().isEmpty();
    if (!succeeded_ && !file_.fileName().isEmpty()) {
        file_.remove();
        file_.setFileName(QString());
    }
}

bool FileTransfer::finish(const std::function<void()> &whileWaiting)
{
    if (state_ != State::Ended)
        session_.waitFor(*this, whileWaiting);
    if (!succeeded_)
        return false;
    succeeded_ = platform::replaceFile(file_.fileName().toStdU16String(), target_.toStdU16String());
    if (!succeeded_)
        file_.remove();
    file_.setFileName(QString());
    return succeeded_;
}

} // namespace vellumo
