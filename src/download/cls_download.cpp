#include "download/cls_download.h"

#include "download/transfer_policy.h"
#include "download/url_encoding.h"

#include <QHash>
#include <QSaveFile>

#include <curl/curl.h>

#include <chrono>
#include <memory>

namespace vellumo {

TransferPolicy &transferPolicy()
{
    static TransferPolicy policy;
    return policy;
}

namespace {

using Clock = std::chrono::steady_clock;

// What all transfers of the process share: libcurl itself, one connection
// cache (so a catalogue's files travel over one kept-alive connection), and
// the hosts that could not be reached lately. Everything runs on the
// user-interface thread.
class TransferSession {
public:
    static TransferSession &instance()
    {
        static TransferSession session;
        return session;
    }

    CURLSH *share() const { return share_; }

    bool isPaused(const QString &host) const
    {
        const auto it = unreachableUntil_.find(host);
        return it != unreachableUntil_.end() && Clock::now() < it.value();
    }
    void markUnreachable(const QString &host)
    {
        if (!host.isEmpty())
            unreachableUntil_.insert(host, Clock::now() + transferPolicy().unreachableHostPause);
    }
    void markReachable(const QString &host) { unreachableUntil_.remove(host); }

private:
    TransferSession()
    {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        share_ = curl_share_init();
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    }
    ~TransferSession()
    {
        curl_share_cleanup(share_);
        curl_global_cleanup();
    }

    CURLSH *share_ = nullptr;
    QHash<QString, Clock::time_point> unreachableUntil_;
};

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

bool clsDownload::Get_File(const QString &sURLFileName, const QString &sSaveFileName)
{
    try {
        TransferSession &session = TransferSession::instance();
        const TransferPolicy &policy = transferPolicy();
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
        curl_easy_setopt(h, CURLOPT_SHARE, session.share());
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
