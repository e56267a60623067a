// Fetching one address into one file, against a real server on 127.0.0.1.

#include "download/cls_download.h"
#include "download/file_transfer.h"
#include "download/downloader.h"
#include "download/transfer_policy.h"
#include "download/url_encoding.h"
#include "localisation/text_table.h"
#include "support/recorded_report.h"
#include "support/test_profile.h"
#include "support/test_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QUrl>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Request = httplib::Request;
using Response = httplib::Response;

namespace {

TEST(UrlEncoding, EncodesWhatAnAddressDoesNotAllowButNeverPercentAgain)
{
    EXPECT_EQ(encodeUrlForTransfer(u"http://h:1/Cartoon Stars.txt"_s), "http://h:1/Cartoon%20Stars.txt");
    EXPECT_EQ(encodeUrlForTransfer(u"http://h/CartoonStars\\Blue Moon.gif"_s), "http://h/CartoonStars/Blue%20Moon.gif");
    EXPECT_EQ(encodeUrlForTransfer(u"http://h/caf\u00e9/100%25.gif"_s), "http://h/caf%C3%A9/100%25.gif");
    EXPECT_EQ(encodeUrlForTransfer(u"http://h/a\nb\"c<d>.txt"_s), "http://h/a%0Ab%22c%3Cd%3E.txt");
    EXPECT_EQ(encodeUrlForTransfer(u"http://h/p?q=a\\b"_s), "http://h/p?q=a%5Cb") << "only the path turns \\ into /";
    EXPECT_EQ(escapeNameForUrl(u"A#1? 100%"_s), u"A%231%3F 100%25"_s);
    EXPECT_EQ(hostOfUrl(u"HTTP://Example.ORG/x"_s), u"http://example.org:80"_s);
    EXPECT_EQ(hostOfUrl(u"https://h:8443/x"_s), u"https://h:8443"_s);
    EXPECT_EQ(hostOfUrl(u"https://h/x"_s), u"https://h:443"_s);
    EXPECT_EQ(hostOfUrl(u"file:///tmp/x"_s), QString());
}

class Transfer : public ::testing::Test {
protected:
    bool get(const QString &url) { return clsDownload(session).Get_File(url, profile.programFolder() + u"/target.tmp"_s); }

    TransferSession session{{.lowSpeedTime = 1s, .maxTime = 10s, .maxBytes = 4096}};
    TransferPolicy &policy = session.policy;

    test::TestProfile profile;
    test::TestServer server;
};

// What else may come back from a server is in the hostile-server suite.
TEST_F(Transfer, FollowsTenRedirectsAtMost)
{
    server.setHandler("/loop", [](const Request &, Response &res) { res.set_redirect("/loop"); });
    EXPECT_FALSE(get(server.baseUrl() + u"loop"_s));
    EXPECT_EQ(std::ranges::count(server.requests(), "/loop"), 11) << "the first request and 10 redirects";
}

// A listener that answers nothing, on a given port or a free one. Full, its
// queue holds one connection that nobody accepts and has no room for
// another, so a new connect hangs.
class Listener {
public:
    explicit Listener(int port = 0, bool full = false)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        socklen_t length = sizeof address;
        bound_ = bind(listener_, reinterpret_cast<sockaddr *>(&address), length) == 0 && listen(listener_, 0) == 0
                 && getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) == 0
                 && (!full || ::connect(filler_, reinterpret_cast<sockaddr *>(&address), length) == 0);
        port_ = ntohs(address.sin_port);
    }
    ~Listener()
    {
        ::close(filler_);
        ::close(listener_);
    }
    bool bound() const { return bound_; }
    QString url() const { return u"http://127.0.0.1:%1/list.txt"_s.arg(port_); }
    // Takes every connection waiting in the queue; answers how many there were.
    int acceptWaiting()
    {
        int count = 0;
        for (int fd; (fd = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK)) >= 0; ++count)
            ::close(fd);
        return count;
    }

private:
    int listener_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    int filler_ = socket(AF_INET, SOCK_STREAM, 0);
    int port_ = 0;
    bool bound_ = false;
};

TEST_F(Transfer, ARefusedHostIsPausedThenTriedAgain)
{
    for (const auto pause : {TransferPolicy{}.unreachableHostPause, 0ms}) {
        policy.unreachableHostPause = pause;
        const int port = test::closedPort();
        EXPECT_FALSE(get(u"http://127.0.0.1:%1/list.txt"_s.arg(port)));
        Listener late(port);
        if (!late.bound())
            GTEST_SKIP() << "the port was taken meanwhile";
        EXPECT_FALSE(get(late.url())) << "paused, or asked and never answered";
        EXPECT_EQ(late.acceptWaiting(), pause == 0ms ? 1 : 0) << "a paused host is not asked";
    }
}

TEST_F(Transfer, AHostThatTakesNoConnectionFailsWithinTheConnectTimeOutAndIsThenPaused)
{
    policy.connectTimeout = 200ms;
    policy.lowSpeedTime = 20s;
    policy.maxTime = 20s;
    Listener full(0, true);
    ASSERT_TRUE(full.bound());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(get(full.url()));
    EXPECT_LT(clock.elapsed(), 10'000) << "the connect time-out, not the time limit of a transfer";
    server.setFile("/list.txt", "a*b");
    EXPECT_TRUE(get(server.baseUrl() + u"list.txt"_s)) << "other hosts are asked as usual";

    // Now the host would take a connection; paused, it is not asked.
    EXPECT_EQ(full.acceptWaiting(), 1);
    policy.lowSpeedTime = 1s;
    EXPECT_FALSE(get(full.url()));
    EXPECT_EQ(full.acceptWaiting(), 0) << "a paused host is not asked";
}

TEST_F(Transfer, DownloadfileStepsTheProgressAroundTheTransferAndReportsTheOutcome)
{
    test::RecordedReport report;
    const TextTable &texts = builtInTexts();
    Downloader downloader(session, report, texts);
    const QString target = profile.programFolder() + u"/file.tmp"_s;
    server.setFile("/a.txt", "a");
    downloader.downloadfile(u"  "_s + server.baseUrl() + u"a.txt  "_s, u" "_s + target + u" "_s, u" Done! "_s);
    const QStringList steps(5, u"add"_s); // the busy pointer is the command's, not each transfer's
    EXPECT_EQ(report.take(), steps + QStringList({u"status:  Done! "_s, u"clear"_s})) << "the message exactly as passed";
    EXPECT_TRUE(QFile::exists(target)) << "blanks around the path are removed";
    downloader.downloadfile(server.baseUrl() + u"missing.txt"_s, target, u"Done!"_s);
    EXPECT_EQ(report.take(), steps + QStringList(u"status: Fout bij het downloaden!"_s));
    EXPECT_EQ(report.progress, 50);

    // A prefetched file is what its downloadfile() waits for; the others go.
    server.setFile("/a.txt", "new");
    downloader.prefetch(server.baseUrl() + u"a.txt"_s, u" "_s + target, Content::List);
    downloader.prefetch(server.baseUrl() + u"missing.txt"_s, target + u"2"_s, Content::List);
    EXPECT_TRUE(downloader.downloadfile(server.baseUrl() + u"a.txt"_s, target, u"Done!"_s));
    EXPECT_EQ(QFile(target).size(), 3);
    EXPECT_EQ(std::ranges::count(server.requests(), "/a.txt"), 2) << "once before, once prefetched";
    downloader.cancelPrefetches();
    EXPECT_EQ(QDir(profile.programFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{u"file.tmp"_s});
}

TEST_F(Transfer, AtMostSixRunAtOnceToAHostAndEachReachesItsTargetOnlyWhenFinished)
{
    std::atomic<int> now = 0, most = 0;
    std::vector<std::unique_ptr<FileTransfer>> transfers;
    const QString folder = profile.programFolder() + u"/"_s;
    for (int i = 0; i < 10; ++i) {
        server.setHandler("/" + std::to_string(i), [&, i](const Request &, Response &res) {
            most = std::max(most.load(), ++now);
            std::this_thread::sleep_for(300ms);
            --now;
            res.set_content(std::to_string(i), "text/plain");
        });
        transfers.push_back(session.start(server.baseUrl() + QString::number(i), folder + QString::number(i)));
    }
    EXPECT_TRUE(transfers[9]->finish());
    EXPECT_FALSE(QFile::exists(folder + u"0"_s)) << "fetched, but not finished";
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(transfers[i]->finish() && QFile(folder + QString::number(i)).size() == 1) << i;
    EXPECT_LE(most, 6) << "as browsers allow";
    EXPECT_GT(most, 1);
    EXPECT_LE(server.connections(), 6);
}

} // namespace
