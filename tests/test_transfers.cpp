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

#include <QElapsedTimer>
#include <QFile>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Request = httplib::Request;
using Response = httplib::Response;

namespace {

TEST(UrlEncoding, EncodesWhatAnAddressDoesNotAllowButNeverPercentAgain)
{
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

// A host that refuses a connection, or takes none within the connect
// time-out, is paused: asked nothing until the pause is over.
TEST_F(Transfer, AnUnreachableHostIsPausedThenTriedAgainAndOtherHostsAreAskedMeanwhile)
{
    policy.connectTimeout = 200ms;
    policy.lowSpeedTime = 20s;
    policy.maxTime = 20s;
    test::RawServer full(0, true);
    ASSERT_TRUE(full.listening());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(get(full.baseUrl()));
    EXPECT_LT(clock.elapsed(), 10'000) << "the connect time-out, not the time limit of a transfer";
    server.setFile("/list.txt", "a*b");
    EXPECT_TRUE(get(server.baseUrl() + u"list.txt"_s)) << "other hosts are asked as usual";
    EXPECT_EQ(full.acceptWaiting(), 1) << "now the host would take a connection";
    policy.lowSpeedTime = 1s;
    EXPECT_FALSE(get(full.baseUrl()));
    EXPECT_EQ(full.acceptWaiting(), 0) << "a paused host is not asked";

    for (const auto pause : {TransferPolicy{}.unreachableHostPause, 0ms}) {
        policy.unreachableHostPause = pause;
        const int port = test::closedPort();
        EXPECT_FALSE(get(u"http://127.0.0.1:%1/"_s.arg(port)));
        test::RawServer late(port);
        if (!late.listening())
            GTEST_SKIP() << "the port was taken meanwhile";
        EXPECT_FALSE(get(late.baseUrl())) << "paused, or asked and never answered";
        EXPECT_EQ(late.acceptWaiting(), pause == 0ms ? 1 : 0) << "a paused host is not asked";
    }
}

TEST_F(Transfer, DownloadfileStepsTheProgressAroundTheTransferAndReportsTheOutcome)
{
    test::RecordedReport report;
    Downloader downloader(session, report, builtInTexts());
    const QString target = profile.programFolder() + u"/file.tmp"_s;
    server.setFile("/a.txt", "a");
    downloader.downloadfile(u"  "_s + server.baseUrl() + u"a.txt  "_s, u" "_s + target + u" "_s, u" Done! "_s);
    const QStringList steps(5, u"add"_s); // the busy pointer is the command's, not each transfer's
    EXPECT_EQ(report.take(), steps + QStringList({u"status:  Done! "_s, u"clear"_s})) << "the message exactly as passed";
    EXPECT_TRUE(QFile::exists(target)) << "blanks around the path are removed";
    downloader.downloadfile(server.baseUrl() + u"missing.txt"_s, target, u"Done!"_s);
    EXPECT_EQ(report.take(), steps + QStringList(u"status: Fout bij het downloaden!"_s)) << "the progress not cleared";
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
