// vellumo-catalogue, run as its own process: "serve" on a small catalogue in
// a temporary folder (HTTP on 127.0.0.1, keep-alive, escapes from the
// folder, stopping) and "check" on the shipped sample and on broken copies.

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const fs::path program = VELLUMO_CATALOGUE_PROGRAM;
const fs::path sampleCatalogue = VELLUMO_SAMPLE_CATALOGUE;

// Generous for a sanitizer build on a busy machine; a healthy run takes a
// fraction of these.
constexpr auto startTimeout = 15s;
constexpr auto stopTimeout = 10s;
constexpr auto commandTimeout = 15s;

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path &path, const std::string &data)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
    ASSERT_TRUE(out.good()) << path;
}

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "vellumo-catalogue-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const fs::path &path() const { return m_path; }

private:
    fs::path m_path;
};

// A GIF of one white pixel on a 200 x 290 screen; tint varies one palette
// entry so that each picture has its own bytes.
std::string tinyGif(unsigned char tint)
{
    const unsigned char bytes[] = {
        'G', 'I', 'F', '8', '9', 'a', 200, 0, 0x22, 0x01, 0x80, 0, 0,
        0xff, 0xff, 0xff, tint, tint, tint,
        0x2c, 0, 0, 0, 0, 1, 0, 1, 0, 0,
        0x02, 0x02, 0x44, 0x01, 0x00,
        0x3b};
    return std::string(reinterpret_cast<const char *>(bytes), sizeof bytes);
}

// A small catalogue: one category with a space in its name, one without.
void writeSmallCatalogue(const fs::path &dir)
{
    writeFile(dir / "msnskins.txt", "Cartoon Stars*Plain");
    writeFile(dir / "Cartoon Stars.txt", "Blue Moon*Sunny Day");
    writeFile(dir / "Plain.txt", "Grey");
    writeFile(dir / "CartoonStars" / "Blue Moon.gif", tinyGif(0x10));
    writeFile(dir / "CartoonStars" / "Sunny Day.gif", tinyGif(0x20));
    writeFile(dir / "Plain" / "Grey.gif", tinyGif(0x30));
}

// ---------------------------------------------------------------------------
// Child processes

struct Finished {
    int exitCode = -1; // 128 + signal number when killed by a signal
    std::string out;
    std::string err;
};

class ChildProcess
{
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    ~ChildProcess()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_stdout >= 0)
            close(m_stdout);
    }

    // Standard output goes to a pipe (readLine) unless stdoutFile is given;
    // standard error always goes to stderrFile.
    bool start(const std::vector<std::string> &args, const fs::path &stderrFile,
               const std::optional<fs::path> &stdoutFile = std::nullopt)
    {
        int pipeEnds[2] = {-1, -1};
        if (!stdoutFile && pipe2(pipeEnds, O_CLOEXEC) != 0)
            return false;

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (stdoutFile)
            posix_spawn_file_actions_addopen(&actions, 1, stdoutFile->c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        else
            posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, stderrFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);

        std::vector<char *> argv;
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        const int result = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (!stdoutFile) {
            close(pipeEnds[1]);
            m_stdout = pipeEnds[0];
        }
        if (result != 0) {
            m_pid = -1;
            return false;
        }
        return true;
    }

    // The next line of standard output, without its line break.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout)
    {
        const auto deadline = Clock::now() + timeout;
        while (true) {
            const auto newline = m_buffer.find('\n');
            if (newline != std::string::npos) {
                std::string line = m_buffer.substr(0, newline);
                m_buffer.erase(0, newline + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - Clock::now());
            if (left <= 0ms)
                return std::nullopt;
            pollfd entry{m_stdout, POLLIN, 0};
            if (poll(&entry, 1, int(left.count())) <= 0)
                continue;
            char chunk[512];
            const ssize_t count = read(m_stdout, chunk, sizeof chunk);
            if (count <= 0)
                return std::nullopt; // closed: the program ended
            m_buffer.append(chunk, std::size_t(count));
        }
    }

    void sendSignal(int signal) const { kill(m_pid, signal); }

    std::optional<int> waitForExit(std::chrono::milliseconds timeout)
    {
        const auto deadline = Clock::now() + timeout;
        while (m_pid > 0) {
            int status = 0;
            const pid_t done = waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (Clock::now() >= deadline)
                return std::nullopt;
            std::this_thread::sleep_for(10ms);
        }
        return std::nullopt;
    }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::string m_buffer;
};

// Runs vellumo-catalogue to its end, within commandTimeout.
Finished runTool(const std::vector<std::string> &args)
{
    TempDir outputs;
    std::vector<std::string> command{program.string()};
    command.insert(command.end(), args.begin(), args.end());
    ChildProcess child;
    Finished finished;
    if (!child.start(command, outputs.path() / "err", outputs.path() / "out")) {
        ADD_FAILURE() << "cannot start " << program;
        return finished;
    }
    const std::optional<int> exitCode = child.waitForExit(commandTimeout);
    if (!exitCode)
        ADD_FAILURE() << "vellumo-catalogue did not finish in time";
    finished.exitCode = exitCode.value_or(-1);
    finished.out = readFile(outputs.path() / "out");
    finished.err = readFile(outputs.path() / "err");
    return finished;
}

// ---------------------------------------------------------------------------
// Plain HTTP: the request line exactly as written

struct RawResponse {
    int status = 0;
    std::string body;
};

RawResponse rawGet(int port, const std::string &target)
{
    RawResponse response;
    const int sock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0)
        return response;
    const timeval timeout{5, 0};
    setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string received;
    if (connect(sock, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
        const std::string request = "GET " + target
                                    + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
        if (send(sock, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
            char chunk[4096];
            ssize_t count;
            while ((count = recv(sock, chunk, sizeof chunk, 0)) > 0)
                received.append(chunk, std::size_t(count));
        }
    }
    close(sock);

    std::smatch match;
    if (std::regex_search(received, match, std::regex(R"(^HTTP/1\.[01] (\d{3}) )")))
        response.status = std::stoi(match[1]);
    const auto headerEnd = received.find("\r\n\r\n");
    if (headerEnd != std::string::npos)
        response.body = received.substr(headerEnd + 4);
    return response;
}

// ---------------------------------------------------------------------------
// serve

constexpr const char *secret = "not for the catalogue's visitors";

class ServeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        site = temp.path() / "site";
        writeSmallCatalogue(site);

        // Files outside the folder, and links that lead there.
        writeFile(temp.path() / "secret.txt", secret);
        writeFile(temp.path() / "site-private" / "secret.txt", secret);
        fs::create_symlink("../secret.txt", site / "escape.txt");
        fs::create_directory_symlink("..", site / "Outside");
        // Its real path begins with the folder's path as a string, but lies
        // next to it.
        fs::create_directory_symlink("../site-private", site / "Private");
        fs::create_symlink("../site-private/secret.txt", site / "private.txt");
        // A link that stays inside.
        fs::create_symlink("CartoonStars/Blue Moon.gif", site / "Favourite.gif");

        startServer();
    }

    void TearDown() override
    {
        if (running) {
            server.sendSignal(SIGTERM);
            EXPECT_EQ(server.waitForExit(stopTimeout), 0);
        }
    }

    void startServer()
    {
        ASSERT_TRUE(server.start({program.string(), "serve", site.string(), "--port", "0"}, log));
        running = true;
        const std::optional<std::string> line = server.readLine(startTimeout);
        ASSERT_TRUE(line) << "no address line; log:\n" << readFile(log);
        std::smatch match;
        ASSERT_TRUE(std::regex_match(*line, match,
                                     std::regex(R"(Serving (.+) at http://127\.0\.0\.1:(\d+)/)")))
            << *line;
        EXPECT_EQ(match[1], site.string());
        port = std::stoi(match[2]);
        ASSERT_GT(port, 0);
    }

    httplib::Client client() const
    {
        httplib::Client client("127.0.0.1", port);
        client.set_connection_timeout(5s);
        client.set_read_timeout(5s);
        client.set_write_timeout(5s);
        return client;
    }

    // The log once it has at least count lines, or as it is after a bounded wait.
    std::vector<std::string> logLines(std::size_t count) const
    {
        const auto deadline = Clock::now() + 5s;
        std::vector<std::string> lines;
        while (true) {
            lines.clear();
            std::istringstream in(readFile(log));
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            if (lines.size() >= count || Clock::now() >= deadline)
                return lines;
            std::this_thread::sleep_for(20ms);
        }
    }

    void expectCleanStop(int signal)
    {
        // An idle keep-alive connection must not hold the server up.
        httplib::Client idle = client();
        idle.set_keep_alive(true);
        ASSERT_TRUE(idle.Get("/msnskins.txt"));

        const auto before = Clock::now();
        server.sendSignal(signal);
        const std::optional<int> exitCode = server.waitForExit(stopTimeout);
        running = false;
        ASSERT_TRUE(exitCode) << "still running " << stopTimeout.count() << " s after the signal";
        EXPECT_EQ(*exitCode, 0) << readFile(log);
        // Well below the keep-alive timeout (5 s) that an idle connection
        // would otherwise be waited for; the usual time is a tenth of a second.
        EXPECT_LT(Clock::now() - before, 3s);
        EXPECT_FALSE(client().Get("/msnskins.txt")) << "still answering after the signal";
    }

    TempDir temp;
    fs::path site;
    fs::path log = temp.path() / "server.log";
    ChildProcess server;
    bool running = false;
    int port = 0;
};

TEST_F(ServeTest, ServesListFilesAndPicturesWithTheirContentTypes)
{
    httplib::Client http = client();
    struct Case {
        std::string path;
        fs::path file;
        std::string contentType;
    };
    const Case cases[] = {
        {"/msnskins.txt", "msnskins.txt", "text/plain; charset=windows-1252"},
        {"/Cartoon Stars.txt", "Cartoon Stars.txt", "text/plain; charset=windows-1252"},
        {"/Plain.txt", "Plain.txt", "text/plain; charset=windows-1252"},
        {"/CartoonStars/Blue Moon.gif", "CartoonStars/Blue Moon.gif", "image/gif"},
        {"/CartoonStars/Sunny Day.gif", "CartoonStars/Sunny Day.gif", "image/gif"},
        {"/Plain/Grey.gif", "Plain/Grey.gif", "image/gif"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        const httplib::Result result = http.Get(c.path);
        ASSERT_TRUE(result) << httplib::to_string(result.error());
        EXPECT_EQ(result->status, 200);
        EXPECT_EQ(result->get_header_value("Content-Type"), c.contentType);
        EXPECT_EQ(result->body, readFile(site / c.file));
    }

    // Percent-encoded names, as written by hand.
    const RawResponse encoded = rawGet(port, "/CartoonStars/Sunny%20Day.gif");
    EXPECT_EQ(encoded.status, 200);
    EXPECT_EQ(encoded.body, readFile(site / "CartoonStars/Sunny Day.gif"));

    // HEAD: the headers of GET without the body.
    const httplib::Result head = http.Head("/Plain/Grey.gif");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->get_header_value("Content-Length"), std::to_string(tinyGif(0x30).size()));
    EXPECT_TRUE(head->body.empty());
}

TEST_F(ServeTest, AnswersManyRequestsOverOneConnectionAndLogsEach)
{
    httplib::Client http = client();
    http.set_keep_alive(true);
    const std::vector<std::string> paths = {"/msnskins.txt", "/Cartoon Stars.txt",
                                            "/CartoonStars/Blue Moon.gif", "/Plain.txt"};
    constexpr int requests = 24; // well beyond the library's default of 5 per connection
    for (int i = 0; i < requests; ++i) {
        const httplib::Result result = http.Get(paths[std::size_t(i) % paths.size()]);
        ASSERT_TRUE(result) << "request " << i << ": " << httplib::to_string(result.error());
        ASSERT_EQ(result->status, 200);
    }

    const std::vector<std::string> lines = logLines(requests);
    ASSERT_EQ(lines.size(), std::size_t(requests));
    const std::regex format(R"re(127\.0\.0\.1:(\d+) "GET (\S+) HTTP/1\.1" 200 \d+)re");
    std::set<std::string> clientPorts;
    for (const std::string &line : lines) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, format)) << line;
        clientPorts.insert(match[1]);
    }
    EXPECT_EQ(clientPorts.size(), 1u) << "the requests came over more than one connection";
    EXPECT_NE(lines[1].find("/Cartoon%20Stars.txt"), std::string::npos) << lines[1];
}

TEST_F(ServeTest, AnswersNotFoundForMissingFilesAndFolders)
{
    httplib::Client http = client();
    for (const char *path : {"/nothing.txt", "/CartoonStars/Nothing.gif", "/Cartoon Stars/Blue Moon.gif",
                             "/", "/CartoonStars", "/CartoonStars/"}) {
        SCOPED_TRACE(path);
        const httplib::Result result = http.Get(path);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 404);
    }
    const httplib::Result post = http.Post("/msnskins.txt", "x", "text/plain");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->status, 405);
    EXPECT_EQ(readFile(site / "msnskins.txt"), "Cartoon Stars*Plain");
}

TEST_F(ServeTest, NeverServesFilesOutsideTheFolder)
{
    std::string absolute = (temp.path() / "secret.txt").string();
    std::string encodedAbsolute;
    for (char c : absolute)
        encodedAbsolute += (c == '/') ? std::string("%2F") : std::string(1, c);

    const std::vector<std::string> targets = {
        "/../secret.txt",
        "/CartoonStars/../../secret.txt",
        "/./../secret.txt",
        "/%2e%2e/secret.txt",
        "/%2E%2E%2Fsecret.txt",
        "/..%2fsecret.txt",
        "/CartoonStars/%2e%2e/%2e%2e/secret.txt",
        "/%252e%252e/secret.txt",
        "/..%5csecret.txt",
        "/" + absolute,
        "/" + encodedAbsolute,
        "/escape.txt",
        "/Outside/secret.txt",
        "/Outside/site-private/secret.txt",
        "/Private/secret.txt",
        "/private.txt",
    };
    for (const std::string &target : targets) {
        SCOPED_TRACE(target);
        const RawResponse response = rawGet(port, target);
        EXPECT_EQ(response.status, 404);
        EXPECT_EQ(response.body.find(secret), std::string::npos);
    }

    // Links that stay inside the folder are followed.
    const RawResponse favourite = rawGet(port, "/Favourite.gif");
    EXPECT_EQ(favourite.status, 200);
    EXPECT_EQ(favourite.body, tinyGif(0x10));
}

// Parses /proc/net/tcp{,6}: the local addresses (hex, as written there) of
// the sockets listening on port.
std::vector<std::string> listeningAddresses(const char *table, int port)
{
    std::vector<std::string> addresses;
    std::ifstream in(table);
    std::string line;
    std::getline(in, line); // heading
    char portHex[8];
    std::snprintf(portHex, sizeof portHex, "%04X", port);
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        const auto colon = local.rfind(':');
        if (state == "0A" && colon != std::string::npos && local.substr(colon + 1) == portHex)
            addresses.push_back(local.substr(0, colon));
    }
    return addresses;
}

TEST_F(ServeTest, ListensOnLoopbackOnly)
{
    if (!fs::exists("/proc/net/tcp"))
        GTEST_SKIP() << "no /proc/net/tcp";
    EXPECT_EQ(listeningAddresses("/proc/net/tcp", port), std::vector<std::string>{"0100007F"});
    EXPECT_TRUE(listeningAddresses("/proc/net/tcp6", port).empty());
}

TEST_F(ServeTest, StopsCleanlyOnSigterm)
{
    expectCleanStop(SIGTERM);
}

TEST_F(ServeTest, StopsCleanlyOnSigint)
{
    expectCleanStop(SIGINT);
}

TEST(ServeCommandLine, RefusesWhatItCannotServe)
{
    TempDir temp;
    writeSmallCatalogue(temp.path() / "site");
    const std::string site = (temp.path() / "site").string();

    struct Case {
        std::vector<std::string> args;
        int exitCode;
    };
    const Case cases[] = {
        {{}, 2},
        {{"serve"}, 2},
        {{"serve", site, "--port"}, 2},
        {{"serve", site, "--port", "http"}, 2},
        {{"serve", site, "--port", "65536"}, 2},
        {{"serve", site, "--port", "-1"}, 2},
        {{"serve", site, "--verbose"}, 2},
        {{"serve", site, site}, 2},
        {{"publish", site}, 2},
        {{"serve", (temp.path() / "missing").string()}, 1},
        {{"serve", site + "/msnskins.txt"}, 1},
    };
    for (const Case &c : cases) {
        std::string shown;
        for (const std::string &arg : c.args)
            shown += " " + arg;
        SCOPED_TRACE("vellumo-catalogue" + shown);
        const Finished finished = runTool(c.args);
        EXPECT_EQ(finished.exitCode, c.exitCode) << finished.err;
        EXPECT_TRUE(finished.out.empty()) << finished.out;
        EXPECT_FALSE(finished.err.empty());
    }
}

TEST(ServeCommandLine, FailsWhenThePortIsTaken)
{
    // A plain listening socket, without SO_REUSEPORT, holds the port.
    const int holder = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(holder, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(listen(holder, 1), 0);
    ASSERT_EQ(getsockname(holder, reinterpret_cast<sockaddr *>(&address), &length), 0);
    const int port = ntohs(address.sin_port);

    TempDir temp;
    writeSmallCatalogue(temp.path());
    const Finished finished = runTool({"serve", temp.path().string(), "--port", std::to_string(port)});
    close(holder);
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_NE(finished.err.find("cannot listen on 127.0.0.1:" + std::to_string(port)),
              std::string::npos)
        << finished.err;
    EXPECT_TRUE(finished.out.empty()) << finished.out;
}

// ---------------------------------------------------------------------------
// check

TEST(CheckCommand, AcceptsTheShippedSampleCatalogue)
{
    const Finished finished = runTool({"check", sampleCatalogue.string()});
    EXPECT_EQ(finished.exitCode, 0) << finished.out << finished.err;
    EXPECT_NE(finished.out.find("Catalogue OK"), std::string::npos) << finished.out;
    EXPECT_EQ(finished.out.find("note:"), std::string::npos) << finished.out;
}

TEST(CheckCommand, AcceptsTheSmallCatalogue)
{
    TempDir temp;
    writeSmallCatalogue(temp.path());
    const Finished finished = runTool({"check", temp.path().string()});
    EXPECT_EQ(finished.exitCode, 0) << finished.out << finished.err;
    EXPECT_NE(finished.out.find("Catalogue OK: 2 categories, 3 skins"), std::string::npos)
        << finished.out;
}

struct BrokenCatalogue {
    const char *name;
    std::function<void(const fs::path &)> breakIt;
    const char *expectedProblem;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const BrokenCatalogue &broken, std::ostream *out)
{
    *out << broken.name;
}

void appendTo(const fs::path &file, const std::string &text)
{
    writeFile(file, readFile(file) + text);
}

const BrokenCatalogue brokenCatalogues[] = {
    {"LineBreakAtTheEndOfTheCategoryList",
     [](const fs::path &d) { appendTo(d / "msnskins.txt", "\n"); },
     "msnskins.txt: ends with a line break"},
    {"WindowsLineBreakAtTheEndOfASkinList",
     [](const fs::path &d) { appendTo(d / "Plain.txt", "\r\n"); },
     "Plain.txt: ends with a line break"},
    {"LineBreakBetweenEntries",
     [](const fs::path &d) { writeFile(d / "Cartoon Stars.txt", "Blue Moon*\nSunny Day"); },
     "Cartoon Stars.txt: contains a line break"},
    {"ByteOrderMark",
     [](const fs::path &d) { writeFile(d / "msnskins.txt", "\xEF\xBB\xBF" "Cartoon Stars*Plain"); },
     "msnskins.txt: begins with a UTF-8 byte order mark"},
    {"StarAtTheEnd",
     [](const fs::path &d) { appendTo(d / "msnskins.txt", "*"); },
     "msnskins.txt: ends with '*'"},
    {"EmptyEntry",
     [](const fs::path &d) { writeFile(d / "Cartoon Stars.txt", "Blue Moon**Sunny Day"); },
     "Cartoon Stars.txt: has an empty entry ('**')"},
    {"EmptySkinList",
     [](const fs::path &d) { writeFile(d / "Plain.txt", ""); },
     "Plain.txt: is empty"},
    {"MissingSkinList",
     [](const fs::path &d) { fs::remove(d / "Cartoon Stars.txt"); },
     "Cartoon Stars.txt: missing"},
    {"MissingCategoryList",
     [](const fs::path &d) { fs::remove(d / "msnskins.txt"); },
     "msnskins.txt: missing"},
    {"SkinNameInTwoCategories",
     [](const fs::path &d) {
         appendTo(d / "Plain.txt", "*Blue Moon");
         writeFile(d / "Plain" / "Blue Moon.gif", tinyGif(0x40));
     },
     "Plain.txt: skin \"Blue Moon\" is also listed in Cartoon Stars.txt"},
    {"SkinNameTwiceInOneCategory",
     [](const fs::path &d) { appendTo(d / "Cartoon Stars.txt", "*Sunny Day"); },
     "Cartoon Stars.txt: skin \"Sunny Day\" is listed twice"},
    {"SkinNamesDifferingOnlyInCase",
     [](const fs::path &d) {
         appendTo(d / "Plain.txt", "*blue moon");
         writeFile(d / "Plain" / "blue moon.gif", tinyGif(0x40));
     },
     "Plain.txt: skin \"blue moon\" is also listed in Cartoon Stars.txt"},
    {"SkinNameBeginningWithASpace",
     [](const fs::path &d) {
         writeFile(d / "Plain.txt", " Grey");
         writeFile(d / "Plain" / " Grey.gif", tinyGif(0x30));
     },
     "Plain.txt: skin \" Grey\" begins with a space"},
    {"SkinCalledMsnskins",
     [](const fs::path &d) {
         appendTo(d / "Plain.txt", "*msnskins");
         writeFile(d / "Plain" / "msnskins.gif", tinyGif(0x40));
     },
     "Plain.txt: a skin cannot be called \"msnskins\""},
    {"SkinNameWithASlash",
     [](const fs::path &d) { appendTo(d / "Plain.txt", "*Black/White"); },
     "Plain.txt: skin \"Black/White\" contains the character '/'"},
    {"MissingPicture",
     [](const fs::path &d) { fs::remove(d / "CartoonStars" / "Sunny Day.gif"); },
     "CartoonStars/Sunny Day.gif: missing"},
    {"PicturesInAFolderWithTheSpaceKept",
     [](const fs::path &d) { fs::rename(d / "CartoonStars", d / "Cartoon Stars"); },
     "CartoonStars/Blue Moon.gif: missing"},
    {"PictureThatIsNoGif",
     [](const fs::path &d) { writeFile(d / "Plain" / "Grey.gif", "\x89PNG\r\n\x1a\n0000000000"); },
     "Plain/Grey.gif: is not a GIF picture"},
    {"PictureCutShort",
     [](const fs::path &d) { writeFile(d / "Plain" / "Grey.gif", "GIF89a"); },
     "Plain/Grey.gif: is not a GIF picture"},
};

class CheckBrokenCatalogue : public ::testing::TestWithParam<BrokenCatalogue>
{
};

TEST_P(CheckBrokenCatalogue, ReportsTheProblem)
{
    TempDir temp;
    writeSmallCatalogue(temp.path());
    GetParam().breakIt(temp.path());

    const Finished finished = runTool({"check", temp.path().string()});
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_NE(finished.out.find(std::string(GetParam().expectedProblem) + "\n"), std::string::npos)
        << finished.out;
    EXPECT_EQ(finished.out.find("Catalogue OK"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CheckBrokenCatalogue, ::testing::ValuesIn(brokenCatalogues),
                         [](const ::testing::TestParamInfo<BrokenCatalogue> &info) {
                             return std::string(info.param.name);
                         });

TEST(CheckCommand, ReportsEveryProblemNotOnlyTheFirst)
{
    TempDir temp;
    writeSmallCatalogue(temp.path());
    appendTo(temp.path() / "msnskins.txt", "\n");
    fs::remove(temp.path() / "Plain" / "Grey.gif");
    appendTo(temp.path() / "Plain.txt", "*Blue Moon");
    writeFile(temp.path() / "Plain" / "Blue Moon.gif", tinyGif(0x50));

    const Finished finished = runTool({"check", temp.path().string()});
    EXPECT_EQ(finished.exitCode, 1);
    for (const char *line : {"msnskins.txt: ends with a line break\n", "Plain/Grey.gif: missing\n",
                             "Plain.txt: skin \"Blue Moon\" is also listed in Cartoon Stars.txt\n",
                             "3 problems found\n"})
        EXPECT_NE(finished.out.find(line), std::string::npos) << line << "in:\n" << finished.out;
}

} // namespace
