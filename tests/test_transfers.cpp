// Fetching one address into one file, against a real server on 127.0.0.1.

#include "app/form1.h"
#include "download/cls_download.h"
#include "download/transfer_policy.h"
#include "download/url_encoding.h"
#include "support/test_profile.h"
#include "support/test_server.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QSignalSpy>
#include <QUrl>

#include <httplib.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using vellumo::test::TestProfile;
using vellumo::test::TestServer;

namespace {

TEST(UrlEncoding, EncodesWhatAnAddressDoesNotAllowAndNeverEncodesPercentAgain)
{
    EXPECT_EQ(encodeUrlForTransfer(u"http://h:1/Cartoon Stars.txt"_s), "http://h:1/Cartoon%20Stars.txt");
    EXPECT_EQ(encodeUrlForTransfer(u"http://h/CartoonStars\\Blue Moon.gif"_s), "http://h/CartoonStars/Blue%20Moon.gif");
    EXPECT_EQ(encodeUrlForTransfer(u"http://h/caf\u00e9/100%25.gif"_s), "http://h/caf%C3%A9/100%25.gif");
    EXPECT_EQ(encodeUrlForTransfer(u"http://h/a\nb\"c<d>.txt"_s), "http://h/a%0Ab%22c%3Cd%3E.txt");
    EXPECT_EQ(encodeUrlForTransfer(u"http://h/p?q=a\\b"_s), "http://h/p?q=a%5Cb") << "only the path turns \\ into /";
}

TEST(UrlEncoding, NamesWithHashQuestionMarkOrPercentReachTheirOwnFile)
{
    EXPECT_EQ(escapeNameForUrl(u"A#1? 100%"_s), u"A%231%3F 100%25"_s);
    EXPECT_EQ(hostOfUrl(u"HTTP://Example.ORG/x"_s), u"http://example.org:80"_s);
    EXPECT_EQ(hostOfUrl(u"https://h:8443/x"_s), u"https://h:8443"_s);
    EXPECT_EQ(hostOfUrl(u"file:///tmp/x"_s), QString());
}

class Transfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        transferPolicy() = TransferPolicy{};
        transferPolicy().lowSpeedTime = 1s;
        transferPolicy().maxTime = 10s;
        target = QDir(profile.programFolder()).filePath(u"target.tmp"_s);
    }
    void TearDown() override { transferPolicy() = TransferPolicy{}; }

    void writeTarget(const QByteArray &content)
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readTarget() const
    {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // path as the server sees it, beginning with "/".
    bool fetch(const std::string &path)
    {
        return clsDownload().Get_File(server.baseUrl() + QString::fromStdString(path.substr(1)), target);
    }
    // No temporary file is left beside the target.
    QStringList leftovers() const
    {
        QStringList names = QDir(profile.programFolder()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(u"target.tmp"_s);
        return names;
    }

    TestProfile profile;
    TestServer server;
    QString target;
};

TEST_F(Transfer, ReplacesTheTargetOnSuccess)
{
    writeTarget("old");
    server.setFile("/list.txt", "a*b*c");
    EXPECT_TRUE(fetch("/list.txt"));
    EXPECT_EQ(readTarget(), "a*b*c");
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(Transfer, FailedTransfersLeaveTheEarlierCopyByteForByte)
{
    const QByteArray old("earlier copy\r\n\x00\xFF", 16);
    server.setHandler("/500", [](const httplib::Request &, httplib::Response &res) {
        res.status = 500;
        res.set_content("server error page", "text/plain");
    });
    server.setHandler("/cut", [](const httplib::Request &, httplib::Response &res) {
        // Promises 1000 bytes, sends 10 and hangs up.
        res.set_content_provider(1000, "text/plain", [](size_t, size_t, httplib::DataSink &sink) {
            sink.write("0123456789", 10);
            return false;
        });
    });
    server.setHandler("/to-file", [](const httplib::Request &, httplib::Response &res) {
        res.set_redirect("file:///etc/hostname");
    });

    for (const char *path : {"/missing", "/500", "/cut", "/to-file"}) {
        writeTarget(old);
        EXPECT_FALSE(fetch(path)) << path;
        EXPECT_EQ(readTarget(), old) << path;
        EXPECT_TRUE(leftovers().isEmpty()) << path;
    }
}

TEST_F(Transfer, FollowsRedirectsWithinHttpButNotEndlessly)
{
    server.setFile("/real.txt", "found");
    server.setHandler("/moved", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/real.txt"); });
    server.setHandler("/loop", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/loop"); });
    EXPECT_TRUE(fetch("/moved"));
    EXPECT_EQ(readTarget(), "found");

    EXPECT_FALSE(fetch("/loop"));
    const auto requests = server.requests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "/loop"), 11) << "the first request and 10 redirects";
}

TEST_F(Transfer, StopsAnAnswerWithoutLengthAtTheSizeLimit)
{
    transferPolicy().maxBytes = 4096;
    std::atomic<size_t> sent{0};
    server.setHandler("/endless", [&sent](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("application/octet-stream", [&sent](size_t, httplib::DataSink &sink) {
            const std::string chunk(1024, 'x');
            sent += chunk.size();
            return sent < 1024 * 1024 && sink.write(chunk.data(), chunk.size());
        });
    });
    writeTarget("old");
    EXPECT_FALSE(fetch("/endless"));
    EXPECT_EQ(readTarget(), "old");
    EXPECT_LT(sent.load(), 1024u * 1024u) << "the transfer went on past the limit";
}

TEST_F(Transfer, CutsOffAServerThatStopsSending)
{
    server.setHandler("/stall", [this](const httplib::Request &, httplib::Response &res) {
        // The headers go out, then nothing more until the test ends (bounded).
        res.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink &) {
            for (int i = 0; i < 200 && !server.stopping(); ++i)
                std::this_thread::sleep_for(50ms);
            return false;
        });
    });
    writeTarget("old");
    EXPECT_FALSE(fetch("/stall"));
    EXPECT_EQ(readTarget(), "old");
}

// A server that comes up on a port where nothing listened before, counting
// the requests it is asked.
class LateServer {
public:
    explicit LateServer(int port)
    {
        server.set_keep_alive_timeout(1);
        server.Get("/list.txt", [](const httplib::Request &, httplib::Response &res) { res.set_content("x", "text/plain"); });
        server.set_pre_routing_handler([this](const httplib::Request &, httplib::Response &) {
            ++asked;
            return httplib::Server::HandlerResponse::Unhandled;
        });
        bound = server.bind_to_port("127.0.0.1", port);
        if (bound) {
            thread = std::thread([this] { server.listen_after_bind(); });
            test::waitUntilListening(server);
        }
    }
    ~LateServer()
    {
        server.stop();
        if (thread.joinable())
            thread.join();
    }
    httplib::Server server;
    std::thread thread;
    std::atomic<int> asked{0};
    bool bound = false;
};

TEST_F(Transfer, AnUnreachableHostFailsAtOnceForAWhile)
{
    const int port = test::closedPort();
    const QString url = u"http://127.0.0.1:%1/list.txt"_s.arg(port);
    EXPECT_FALSE(clsDownload().Get_File(url, target));

    LateServer late(port);
    if (!late.bound)
        GTEST_SKIP() << "the port was taken meanwhile";
    // Something listens there now, but the host is paused: the transfer
    // fails without asking it.
    EXPECT_FALSE(clsDownload().Get_File(url, target));
    EXPECT_EQ(late.asked.load(), 0);
}

TEST_F(Transfer, AfterThePauseTheHostIsTriedAgain)
{
    transferPolicy().unreachableHostPause = 0ms;
    const int port = test::closedPort();
    const QString url = u"http://127.0.0.1:%1/list.txt"_s.arg(port);
    EXPECT_FALSE(clsDownload().Get_File(url, target));

    LateServer late(port);
    if (!late.bound)
        GTEST_SKIP() << "the port was taken meanwhile";
    EXPECT_TRUE(clsDownload().Get_File(url, target));
    EXPECT_EQ(late.asked.load(), 1);
}

TEST_F(Transfer, ReadsLocalFilesButNothingElse)
{
    const QString source = QDir(profile.programFolder()).filePath(u"source file.txt"_s);
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("local");
    file.close();
    EXPECT_TRUE(clsDownload().Get_File(QUrl::fromLocalFile(source).toString(), target));
    EXPECT_EQ(readTarget(), "local");
    EXPECT_FALSE(clsDownload().Get_File(u"ftp://127.0.0.1/x"_s, target));
    EXPECT_FALSE(clsDownload().Get_File(u"gopher://127.0.0.1/x"_s, target));
}

class DownloadFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        transferPolicy() = TransferPolicy{};
        main.LoadDefaultLanguage();
        target = main.programFile(u"file.tmp"_s);
    }
    QList<int> progress() const
    {
        QList<int> values;
        for (const auto &args : progressValues)
            values << args.at(0).toInt();
        return values;
    }

    TestProfile profile;
    TestServer server;
    Form1 main{profile.environment()};
    QSignalSpy progressValues{main.ProgressBar1, &QProgressBar::valueChanged};
    QString target;
};

TEST_F(DownloadFile, StepsTheBarAndShowsTheCallersTextOnSuccess)
{
    std::atomic<bool> busyDuringTransfer{false};
    server.setHandler("/a.txt", [&](const httplib::Request &, httplib::Response &res) {
        // The user-interface thread is blocked in the transfer meanwhile.
        busyDuringTransfer = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        res.set_content("a", "text/plain");
    });
    progressValues.clear();
    main.downloadfile(u"  "_s + server.baseUrl() + u"a.txt  "_s, u" "_s + target + u" "_s, u" Done! "_s);

    EXPECT_EQ(progress(), (QList<int>{10, 20, 30, 40, 50, 0}));
    EXPECT_EQ(main.statusText(), u" Done! "_s) << "shown exactly as passed";
    EXPECT_TRUE(busyDuringTransfer.load());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the pointer is back to normal";
    EXPECT_TRUE(QFile::exists(target)) << "blanks around the path are removed";
}

TEST_F(DownloadFile, LeavesTheBarRaisedAndReportsAFailure)
{
    progressValues.clear();
    main.downloadfile(server.baseUrl() + u"missing.txt"_s, target, u"Done!"_s);
    EXPECT_EQ(progress(), (QList<int>{10, 20, 30, 40, 50}));
    EXPECT_EQ(main.ProgressBar1->value(), 50);
    EXPECT_EQ(main.statusText(), u"Fout bij het downloaden!"_s);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
