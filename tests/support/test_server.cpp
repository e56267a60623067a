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
    if (!waitUntilListening(*server_))
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
        if (auto it = handlers_.find(path); it != handlers_.end())
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

bool waitUntilListening(httplib::Server &server)
{
    for (int i = 0; i < 5000 && !server.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return server.is_running();
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

QByteArray gifDeclaringSize(int width, int height)
{
    QByteArray gif = gifPicture(2, 3);
    auto patch = [&gif](int at, int value) {
        gif[at] = char(value & 0xFF);
        gif[at + 1] = char((value >> 8) & 0xFF);
    };
    patch(6, width); // logical screen
    patch(8, height);
    patch(24, width); // image descriptor
    patch(26, height);
    return gif;
}

QByteArray gifPicture(int width, int height)
{
    // GIF89a with a two-colour table and one image of colour-0 pixels,
    // LZW-coded with a minimum code size of 2: clear, the pixels, end.
    QByteArray gif("GIF89a");
    auto word = [&gif](int value) {
        gif.append(char(value & 0xFF));
        gif.append(char((value >> 8) & 0xFF));
    };
    word(width);
    word(height);
    gif.append(char(0x80)); // global colour table of 2 entries
    gif.append(char(0));
    gif.append(char(0));
    gif.append(QByteArray("\x20\x60\xC0\xFF\xFF\xFF", 6));
    gif.append(',');
    word(0);
    word(0);
    word(width);
    word(height);
    gif.append(char(0));
    gif.append(char(2)); // LZW minimum code size

    // Codes are 3 bits wide at first: clear = 4, end = 5. Emitting every
    // pixel as a literal with a clear code often enough keeps the width at 3.
    std::vector<int> codes{4};
    int sinceClear = 0;
    for (int i = 0; i < width * height; ++i) {
        codes.push_back(0);
        if (++sinceClear == 2) {
            codes.push_back(4);
            sinceClear = 0;
        }
    }
    codes.push_back(5);
    QByteArray data;
    int bits = 0;
    int bitCount = 0;
    for (int code : codes) {
        bits |= code << bitCount;
        bitCount += 3;
        while (bitCount >= 8) {
            data.append(char(bits & 0xFF));
            bits >>= 8;
            bitCount -= 8;
        }
    }
    if (bitCount > 0)
        data.append(char(bits & 0xFF));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        gif.append(char(block.size()));
        gif.append(block);
    }
    gif.append(char(0));
    gif.append(';');
    return gif;
}

} // namespace vellumo::test
