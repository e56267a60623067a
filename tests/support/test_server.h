#pragma once

// A real web server on 127.0.0.1 for the transfer tests, running in its own
// thread on a free port. Files are served from a table; every request is
// recorded with the client port it came from, so a test can count
// connections.

#include <QByteArray>
#include <QString>

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

    int port() const { return port_; }
    QString baseUrl() const; // http://127.0.0.1:PORT/

    // Serves content at path (as requested, percent-encoded, e.g. "/a%20b.txt").
    void setFile(const std::string &path, const QByteArray &content);
    // A handler of its own for a path; an empty one serves the file again.
    using Handler = std::function<void(const httplib::Request &, httplib::Response &)>;
    void setHandler(const std::string &path, Handler handler);

    // The paths requested so far, as they arrived, oldest first.
    std::vector<std::string> requests() const;
    // How many TCP connections the requests came over.
    int connections() const;

    // Set when the test ends, so slow handlers stop.
    bool stopping() const;

private:
    void serve(const httplib::Request &request, httplib::Response &response);

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, QByteArray> files_;
    std::map<std::string, Handler> handlers_;
    std::vector<std::string> requests_;
    std::vector<int> clientPorts_;
    bool stopping_ = false;
};

// A port on 127.0.0.1 where nothing listens (at the moment of the call).
int closedPort();

// A small GIF picture of width x height pixels, whatever the size.
QByteArray gifPicture(int width = 2, int height = 3);

} // namespace vellumo::test
