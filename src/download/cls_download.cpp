#include "download/cls_download.h"

#include "download/transfer_policy.h"
#include "download/url_encoding.h"

#include <QHash>
#include <QSaveFile>

#include <curl/curl.h>

#include <chrono>
#include <memory>

namespace vellumo {

namespace {
using Clock = std::chrono::steady_clock;

// libcurl is set up once for the process and never torn down: its global
// clean-up is not safe while any other part of the process might use it.
void initialiseCurlOnce()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}
} // namespace

struct TransferSession::State {
    CURLSH *share = nullptr;
    QHash<QString, Clock::time_point> unreachableUntil;
};

TransferSession::TransferSession(TransferPolicy policy)
    : policy(policy)
    , state_(std::make_unique<State>())
{
    initialiseCurlOnce();
    state_->share = curl_share_init();
    curl_share_setopt(state_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    curl_share_setopt(state_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(state_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
}

TransferSession::~TransferSession()
{
    curl_share_cleanup(state_->share);
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

void *TransferSession::connectionCache() const
{
    return state_->share;
}

namespace {

struct Sink {
    QSaveFile *file;
    std::int64_t received = 0;
    std::int64_t limit = 0;
    bool tooLarge = false;
};

size_t writeToSink(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const size_t bytes = size * count;
    sink->received += std::int64_t(bytes);
    // Counted here: a server that sends no length is not stopped by libcurl.
    if (sink->received > sink->limit) {
        sink->tooLarge = true;
        return 0;
    }
    return sink->file->write(data, qint64(bytes)) == qint64(bytes) ? bytes : 0;
}

bool hostUnreachable(CURLcode code, CURL *curl)
{
    if (code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_RESOLVE_PROXY || code == CURLE_COULDNT_CONNECT)
        return true;
    if (code == CURLE_OPERATION_TIMEDOUT) {
        curl_off_t connected = 0;
        curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connected);
        return connected == 0;
    }
    return false;
}

} // namespace

clsDownload::clsDownload(TransferSession &session)
    : session_(session)
{
}

bool clsDownload::Get_File(const QString &sURLFileName, const QString &sSaveFileName)
{
    try {
        TransferSession &session = session_;
        const TransferPolicy &policy = session.policy;
        const QByteArray url = encodeUrlForTransfer(sURLFileName);
        const QString host = hostOfUrl(sURLFileName);
        if (session.isPaused(host))
            return false;

        QSaveFile file(sSaveFileName);
        if (!file.open(QIODevice::WriteOnly))
            return false;

        std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
        if (!curl)
            return false;
        Sink sink{&file, 0, policy.maxBytes, false};
        CURL *h = curl.get();
        curl_easy_setopt(h, CURLOPT_SHARE, static_cast<CURLSH *>(session.connectionCache()));
        curl_easy_setopt(h, CURLOPT_URL, url.constData());
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https,file");
        curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(h, CURLOPT_MAXREDIRS, policy.maxRedirects);
        curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(policy.connectTimeout.count()));
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(policy.maxTime.count()));
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, policy.lowSpeedBytesPerSecond);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(policy.lowSpeedTime.count()));
        curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(policy.maxBytes));
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_USERAGENT, "Vellumo/1.0");
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &writeToSink);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);

        const CURLcode code = curl_easy_perform(h);
        if (hostUnreachable(code, h)) {
            session.markUnreachable(host);
            char *effective = nullptr;
            if (curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
                session.markUnreachable(hostOfUrl(QString::fromUtf8(effective)));
        } else {
            session.markReachable(host);
        }
        if (code != CURLE_OK || sink.tooLarge) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    } catch (...) {
        return false;
    }
}

} // namespace vellumo
