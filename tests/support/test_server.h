#pragma once

// A real web server on 127.0.0.1 for the transfer tests, running in its own
// thread on a free port. Files are served from a table; every request is
// recorded with the client port it came from, so a test can count
// connections. And a bare socket for hosts that are no proper web server.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace vellumo::test {

class TestServer {
public:
    TestServer();
    ~TestServer();

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }

    // Serves content at path (as requested, percent-encoded, e.g. "/a%20b.txt").
    void setFile(const std::string &path, const QByteArray &content);
    // A handler of its own for a path, in place of what was served there.
    using Handler = std::function<void(const httplib::Request &, httplib::Response &)>;
    void setHandler(const std::string &path, Handler handler);

    // The paths requested so far, as they arrived, oldest first.
    std::vector<std::string> requests() const;
    // How many TCP connections the requests came over.
    int connections() const;

    // Set when the test ends, so slow handlers stop.
    bool stopping() const { return stopping_; }

private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, Handler> handlers_;
    std::vector<std::string> requests_;
    std::vector<int> clientPorts_;
    std::atomic<bool> stopping_ = false;
};

// A socket listening on 127.0.0.1 for hosts that are no proper web server.
class RawServer {
public:
    // Answers nothing, on a given port or a free one. Full, its queue holds one
    // connection that nobody takes and has no room for another, so a new connect hangs.
    explicit RawServer(int port = 0, bool full = false);
    // Answers every connection with these bytes, HTTP or not, and closes it.
    explicit RawServer(std::string reply);
    ~RawServer();

    bool listening() const { return listening_; }
    int port() const { return port_; }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }
    // Takes the connections waiting in the queue and closes them; answers how many there were.
    int acceptWaiting();

private:
    int listener_;
    int filler_;
    int port_ = 0;
    bool listening_ = false;
    std::string reply_;
    std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens (at the moment of the call).
int closedPort();

// A small GIF picture of width x height pixels, whatever the size.
QByteArray gifPicture(int width = 2, int height = 3);

} // namespace vellumo::test
