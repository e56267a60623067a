#include "support/test_server.h"

#include <httplib.h>

#include <set>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vellumo::test {

TestServer::TestServer()
    : server_(std::make_unique<httplib::Server>())
{
    server_->set_keep_alive_max_count(1000);
    // An idle kept-alive connection holds the server's stop for this long.
    server_->set_keep_alive_timeout(1);
    server_->Get(R"(.*)", [this](const httplib::Request &request, httplib::Response &response) {
        // The raw target keeps the percent-encoding the client sent (the program sends no query).
        const std::string &path = request.target;
        Handler handler;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(path);
            clientPorts_.push_back(request.remote_port);
            if (auto it = handlers_.find(path); it != handlers_.end())
                handler = it->second;
        }
        if (handler) {
            handler(request, response);
        } else {
            response.status = 404;
            response.set_content("not here", "text/plain");
        }
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    for (int i = 0; i < 5000 && !server_->is_running(); ++i) // at most 5 s
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!server_->is_running())
        qFatal("the test server did not start");
}

TestServer::~TestServer()
{
    stopping_ = true;
    server_->stop();
    thread_.join();
}

void TestServer::setFile(const std::string &path, const QByteArray &content)
{
    setHandler(path, [content = content.toStdString()](const httplib::Request &, httplib::Response &response) {
        response.set_content(content, "application/octet-stream");
    });
}

void TestServer::setHandler(const std::string &path, Handler handler)
{
    std::lock_guard lock(mutex_);
    handlers_[path] = std::move(handler);
}

std::vector<std::string> TestServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

int TestServer::connections() const
{
    std::lock_guard lock(mutex_);
    return int(std::set<int>(clientPorts_.begin(), clientPorts_.end()).size());
}

RawServer::RawServer(int port, bool full)
    : listener_(socket(AF_INET, SOCK_STREAM, 0))
    , filler_(socket(AF_INET, SOCK_STREAM, 0))
{
    sockaddr_in address{.sin_family = AF_INET, .sin_port = htons(uint16_t(port)), .sin_addr = {htonl(INADDR_LOOPBACK)},
                        .sin_zero = {}};
    auto *at = reinterpret_cast<sockaddr *>(&address);
    socklen_t length = sizeof address;
    listening_ = bind(listener_, at, length) == 0 && listen(listener_, full ? 0 : 8) == 0
                 && getsockname(listener_, at, &length) == 0 && (!full || ::connect(filler_, at, length) == 0);
    port_ = ntohs(address.sin_port);
}

RawServer::RawServer(std::string reply)
    : RawServer()
{
    reply_ = std::move(reply);
    thread_ = std::thread([this] {
        for (int client; (client = accept(listener_, nullptr, nullptr)) >= 0; ::close(client)) {
            char request[4096];
            recv(client, request, sizeof request, 0); // one read holds the request line and headers
            send(client, reply_.data(), reply_.size(), MSG_NOSIGNAL);
        }
    });
}

RawServer::~RawServer()
{
    shutdown(listener_, SHUT_RDWR); // ends a waiting accept()
    if (thread_.joinable())
        thread_.join();
    ::close(filler_);
    ::close(listener_);
}

int RawServer::acceptWaiting()
{
    int count = 0;
    for (pollfd queue{listener_, POLLIN, 0}; poll(&queue, 1, 0) == 1; ++count)
        ::close(accept(listener_, nullptr, nullptr));
    return count;
}

int closedPort()
{
    const RawServer probe;
    if (!probe.listening())
        qFatal("no free port");
    return probe.port();
}

QByteArray gifPicture(int width, int height)
{
    // GIF89a with a two-colour table and one image whose LZW data holds a
    // single pixel; decoders give the rest of it the background colour.
    QByteArray gif = QByteArray::fromHex("474946383961" "00000000" "800000" "2060C0FFFFFF" // header, colours
                                         "2C" "0000" "0000" "00000000" "00" "0202440100" "3B"); // image, end
    for (const int at : {6, 24}) { // logical screen, image descriptor
        gif[at] = char(width & 0xFF);
        gif[at + 1] = char(width >> 8);
        gif[at + 2] = char(height & 0xFF);
        gif[at + 3] = char(height >> 8);
    }
    return gif;
}

} // namespace vellumo::test
