#include "support/test_server.h"

#include <httplib.h>

#include <QTcpServer>

#include <set>

namespace vellumo::test {

TestServer::TestServer()
    : server_(std::make_unique<httplib::Server>())
{
    server_->set_keep_alive_max_count(1000);
    // An idle kept-alive connection holds the server's stop for this long.
    server_->set_keep_alive_timeout(1);
    server_->set_read_timeout(5, 0);
    server_->set_write_timeout(5, 0);
    server_->Get(R"(.*)", [this](const httplib::Request &request, httplib::Response &response) {
        serve(request, response);
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
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    server_->stop();
    thread_.join();
}

QString TestServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(port_);
}

void TestServer::setFile(const std::string &path, const QByteArray &content)
{
    std::lock_guard lock(mutex_);
    files_[path] = content;
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

bool TestServer::stopping() const
{
    std::lock_guard lock(mutex_);
    return stopping_;
}

void TestServer::serve(const httplib::Request &request, httplib::Response &response)
{
    // The raw target keeps the percent-encoding the client sent.
    std::string path = request.target;
    const auto query = path.find('?');
    if (query != std::string::npos)
        path.erase(query);
    Handler handler;
    QByteArray content;
    bool found = false;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(path);
        clientPorts_.push_back(request.remote_port);
        if (auto it = handlers_.find(path); it != handlers_.end() && it->second)
            handler = it->second;
        else if (auto file = files_.find(path); file != files_.end()) {
            content = file->second;
            found = true;
        }
    }
    if (handler) {
        handler(request, response);
    } else if (found) {
        response.set_content(content.toStdString(), "application/octet-stream");
    } else {
        response.status = 404;
        response.set_content("not here", "text/plain");
    }
}

int closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        qFatal("no free port");
    const int port = probe.serverPort();
    probe.close();
    return port;
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
