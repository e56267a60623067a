// vellumo-catalogue: serves, checks and builds skin catalogue folders.
//
//   vellumo-catalogue serve DIR [--port N] [--delay-ms N]
//   vellumo-catalogue check DIR
//   vellumo-catalogue build SOURCE TARGET [--order FILE] [--force]
//
// serve: makes DIR available at http://127.0.0.1:PORT/, so that Vellumo can
// use it as its catalogue address. With port 0 or without --port, a free port
// is chosen. Once listening, the program prints one line
// "Serving DIR at http://127.0.0.1:PORT/" on standard output; every request
// is logged on standard error. SIGINT or SIGTERM stop it (exit code 0).
// --delay-ms N answers every request N milliseconds late, as a server far
// away would (each request waits on its own; requests on other connections
// wait side by side).
//
// check: reads the catalogue in DIR the way Vellumo reads it, prints every
// problem found, one per line, and exits with 1 if there was any.
//
// build: makes the catalogue folder TARGET from SOURCE, which holds one
// folder per category with the pictures of its skins as <skin>.gif. The
// categories are listed by name, or in the order of the lines of FILE. Checks
// everything first and writes nothing when "check" would find a problem;
// replaces a TARGET that is not empty only with --force (see catalogue_build.h).

#include "catalogue_build.h"
#include "catalogue_folder.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr const char *listenAddress = "127.0.0.1";

int usage(std::ostream &out, int exitCode)
{
    out << "Usage: vellumo-catalogue serve DIR [--port N] [--delay-ms N]\n"
           "       vellumo-catalogue check DIR\n"
           "       vellumo-catalogue build SOURCE TARGET [--order FILE] [--force]\n"
           "\n"
           "serve  serves the catalogue folder DIR at http://127.0.0.1:PORT/\n"
           "       (a free port when N is 0 or not given) until SIGINT or SIGTERM;\n"
           "       --delay-ms N answers every request N milliseconds late\n"
           "check  checks the catalogue in DIR and prints every problem found\n"
           "build  makes the catalogue folder TARGET from SOURCE, one folder per\n"
           "       category holding <skin>.gif pictures; categories by name or in the\n"
           "       order of the lines of FILE; --force replaces a TARGET that is not empty\n";
    return exitCode;
}

// ---------------------------------------------------------------------------
// Serving

std::string contentTypeFor(const fs::path &file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == ".txt")
        return "text/plain; charset=windows-1252";
    if (extension == ".gif")
        return "image/gif";
    return "application/octet-stream";
}

std::optional<std::string> readWholeFile(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::nullopt;
    return data;
}

// The request target as it may appear in a log line: bytes outside printable
// ASCII are written as \xHH.
std::string printable(std::string_view text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += char(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

// Shuts down the receiving side of every connection to the serving port.
// A connection idling between keep-alive requests then ends at once instead
// of at the end of its keep-alive timeout; a response being written is not
// cut short.
void endIdleConnections(int port)
{
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator("/proc/self/fd", error)) {
        const std::string name = entry.path().filename().string();
        int fd = -1;
        if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc())
            continue;
        struct stat info {};
        if (fstat(fd, &info) != 0 || !S_ISSOCK(info.st_mode))
            continue;
        sockaddr_in address{};
        socklen_t length = sizeof address;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0
            || address.sin_family != AF_INET || ntohs(address.sin_port) != port)
            continue;
        length = sizeof address;
        // The listening socket has no peer.
        if (getpeername(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            shutdown(fd, SHUT_RD);
    }
}

// Stops the server on SIGINT or SIGTERM. The signals are blocked in every
// thread (the server's threads inherit the mask) and taken here with
// sigtimedwait, so nothing runs in signal-handler context.
class SignalStopper
{
public:
    static void blockSignals()
    {
        sigset_t set = signals();
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        std::signal(SIGPIPE, SIG_IGN);
    }

    SignalStopper(httplib::Server &server, int port)
        : m_thread([this, &server, port] { run(server, port); })
    {
    }

    // Call once listen_after_bind() has returned.
    int finish()
    {
        m_serverDone = true;
        m_thread.join();
        return m_signal;
    }

private:
    static sigset_t signals()
    {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        return set;
    }

    void run(httplib::Server &server, int port)
    {
        const sigset_t set = signals();
        const timespec tick{0, 100'000'000};
        while (!m_serverDone) {
            const int received = sigtimedwait(&set, nullptr, &tick);
            if (received > 0) {
                m_signal = received;
                break;
            }
        }
        // stop() has no effect until the server has entered its accept loop,
        // so repeat it until the server is done.
        while (!m_serverDone) {
            server.stop();
            endIdleConnections(port);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    std::atomic<bool> m_serverDone{false};
    std::atomic<int> m_signal{0};
    std::thread m_thread;
};

int serve(const std::string &dir, int port, int delayMs)
{
    std::error_code error;
    const fs::path root = fs::canonical(dir, error);
    if (error || !fs::is_directory(root)) {
        std::cerr << "vellumo-catalogue: " << dir << " is not a folder\n";
        return 1;
    }

    SignalStopper::blockSignals();

    httplib::Server server;
    // Vellumo fetches the whole catalogue over one connection.
    server.set_keep_alive_max_count(1000);
    server.set_keep_alive_timeout(5);
    // Headers and body go out in separate writes; without this, every
    // response after the first on a connection waits for a delayed ACK.
    server.set_tcp_nodelay(true);

    // A connection holds a thread while it is open, also while its request
    // waits out the delay: room for six connections of one client and more.
    server.new_task_queue = [] { return new httplib::ThreadPool(16); };

    server.set_pre_routing_handler([&root, delayMs](const httplib::Request &request,
                                                    httplib::Response &response) {
        if (delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        if (request.method != "GET" && request.method != "HEAD") {
            response.status = 405;
            response.set_header("Allow", "GET, HEAD");
            response.set_content("Method not allowed\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        const std::optional<fs::path> file = catalogue::fileInside(root, request.path);
        if (!file) {
            response.status = 404;
            response.set_content("Not found\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        std::optional<std::string> data = readWholeFile(*file);
        if (!data) {
            response.status = 500;
            response.set_content("Cannot read the file\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        response.status = 200;
        response.set_content(std::move(*data), contentTypeFor(*file));
        return httplib::Server::HandlerResponse::Handled;
    });

    std::mutex logMutex;
    server.set_logger([&logMutex](const httplib::Request &request,
                                  const httplib::Response &response) {
        const std::string line = request.remote_addr + ":" + std::to_string(request.remote_port)
                                 + " \"" + printable(request.method) + " "
                                 + printable(request.target) + " " + printable(request.version)
                                 + "\" " + std::to_string(response.status) + " "
                                 + std::to_string(response.body.size()) + "\n";
        const std::lock_guard lock(logMutex);
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    });

    if (port == 0) {
        port = server.bind_to_any_port(listenAddress);
        if (port < 0) {
            std::cerr << "vellumo-catalogue: cannot listen on " << listenAddress << "\n";
            return 1;
        }
    } else if (!server.bind_to_port(listenAddress, port)) {
        std::cerr << "vellumo-catalogue: cannot listen on " << listenAddress << ":" << port
                  << "\n";
        return 1;
    }

    std::cout << "Serving " << dir << " at http://" << listenAddress << ":" << port << "/"
              << std::endl;

    SignalStopper stopper(server, port);
    const bool listened = server.listen_after_bind();
    const int signal = stopper.finish();
    if (signal != 0) {
        std::cerr << "vellumo-catalogue: stopped by " << (signal == SIGINT ? "SIGINT" : "SIGTERM")
                  << "\n";
        return 0;
    }
    if (!listened) {
        std::cerr << "vellumo-catalogue: the server stopped unexpectedly\n";
        return 1;
    }
    return 0;
}

std::optional<int> parseNumber(std::string_view text, int highest)
{
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 0 || number > highest)
        return std::nullopt;
    return number;
}

// ---------------------------------------------------------------------------
// Checking

int check(const std::string &dir)
{
    std::error_code error;
    if (!fs::is_directory(dir, error)) {
        std::cerr << "vellumo-catalogue: " << dir << " is not a folder\n";
        return 1;
    }
    const catalogue::CheckResult result = catalogue::checkCatalogue(dir);
    for (const std::string &problem : result.problems)
        std::cout << problem << "\n";
    for (const std::string &note : result.notes)
        std::cout << "note: " << note << "\n";
    if (!result.problems.empty()) {
        std::cout << result.problems.size()
                  << (result.problems.size() == 1 ? " problem" : " problems") << " found\n";
        return 1;
    }
    std::cout << "Catalogue OK: " << result.categoryCount << " categories, " << result.skinCount
              << " skins\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usage(std::cerr, 2);
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help")
        return usage(std::cout, 0);

    const std::string &command = args[0];
    std::vector<std::string> paths;
    int port = 0;
    int delayMs = 0;
    catalogue::BuildOptions build;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (command == "build" && arg == "--force") {
            build.force = true;
        } else if (command == "build" && arg == "--order") {
            if (++i == args.size())
                return usage(std::cerr, 2);
            build.orderFile = args[i];
        } else if (command == "serve"
                   && (arg == "--port" || arg.starts_with("--port=") || arg == "--delay-ms"
                       || arg.starts_with("--delay-ms="))) {
            const bool isPort = arg.starts_with("--port");
            const std::size_t equals = arg.find('=');
            std::string value;
            if (equals == std::string::npos) {
                if (++i == args.size())
                    return usage(std::cerr, 2);
                value = args[i];
            } else {
                value = arg.substr(equals + 1);
            }
            const std::optional<int> parsed = parseNumber(value, isPort ? 65535 : 600'000);
            if (!parsed) {
                std::cerr << "vellumo-catalogue: not a "
                          << (isPort ? "port number" : "delay in milliseconds") << ": " << value
                          << "\n";
                return 2;
            }
            (isPort ? port : delayMs) = *parsed;
        } else if (arg.starts_with("-")) {
            return usage(std::cerr, 2);
        } else {
            paths.push_back(arg);
        }
    }

    if (command == "serve" && paths.size() == 1)
        return serve(paths[0], port, delayMs);
    if (command == "check" && paths.size() == 1)
        return check(paths[0]);
    if (command == "build" && paths.size() == 2) {
        build.source = paths[0];
        build.target = paths[1];
        return catalogue::buildCatalogue(build);
    }
    return usage(std::cerr, 2);
}
