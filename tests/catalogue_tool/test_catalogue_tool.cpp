// vellumo-catalogue, run as its own process: "serve" on a small catalogue in
// a temporary folder, "check" on the shipped sample and on broken copies, and
// "build" on folders of pictures.

#include <gtest/gtest.h>
#include <httplib.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr std::chrono::milliseconds timeout = 15s; // generous for a sanitizer build
constexpr auto npos = std::string::npos;

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path &path, const std::string &data)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

// Polls until ready() holds; false if it still does not after limit.
bool waitUntil(const std::function<bool()> &ready, std::chrono::milliseconds limit = timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (; !ready(); std::this_thread::sleep_for(10ms))
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    return true;
}

struct TempDir {
    TempDir() { path = mkdtemp(pattern) ? pattern : ""; }
    ~TempDir() { std::error_code ignored; fs::remove_all(path, ignored); }
    TempDir(const TempDir &) = delete;
    char pattern[40] = "/tmp/vellumo-catalogue-XXXXXX";
    fs::path path;
};

// A 200 x 290 GIF with NUL and 0xFF among its bytes; tint makes each one unique.
std::string tinyGif(unsigned char tint)
{
    const unsigned char bytes[] = {'G', 'I', 'F', '8', '9', 'a', 200, 0, 0x22, 0x01, 0x80, 0, 0,
                                   0xff, 0xff, 0xff, tint, tint, tint, 0x2c, 0, 0, 0, 0, 1, 0, 1,
                                   0, 0, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};
    return std::string(reinterpret_cast<const char *>(bytes), sizeof bytes);
}

// Two categories, one with a space in its name (its folder has none).
void writeSmallCatalogue(const fs::path &dir)
{
    writeFile(dir / "msnskins.txt", "Cartoon Stars*Plain");
    writeFile(dir / "Cartoon Stars.txt", "Blue Moon*Sunny Day");
    writeFile(dir / "Plain.txt", "Grey");
    writeFile(dir / "CartoonStars" / "Blue Moon.gif", tinyGif(0x10));
    writeFile(dir / "CartoonStars" / "Sunny Day.gif", tinyGif(0x20));
    writeFile(dir / "Plain" / "Grey.gif", tinyGif(0x30));
}

// vellumo-catalogue with standard output and error both going to `output`;
// killed if still running at the end.
struct Tool {
    explicit Tool(std::vector<std::string> args)
    {
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        args.insert(args.begin(), VELLUMO_CATALOGUE_PROGRAM);
        std::vector<char *> argv;
        for (std::string &arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&files);
    }
    ~Tool() { if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0); }
    Tool(const Tool &) = delete;

    // The exit code (128 + signal when killed); nothing if still running after limit.
    std::optional<int> waitForExit(std::chrono::milliseconds limit = timeout)
    {
        int status = 0;
        if (pid <= 0 || !waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit))
            return std::nullopt;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    TempDir temp;
    fs::path output = temp.path / "output";
    pid_t pid = -1;
};

// serve: the small catalogue, with a secret next to it and links that lead there,
// every answer as late as a distant server's.
constexpr const char *secret = "not for the catalogue's visitors";
constexpr auto delay = 100ms;

struct ServeTest : ::testing::Test {
    void SetUp() override
    {
        writeSmallCatalogue(site);
        writeFile(temp.path / "secret.txt", secret);
        writeFile(temp.path / "site-private" / "secret.txt", secret);
        fs::create_symlink("../secret.txt", site / "escape.txt");
        fs::create_directory_symlink("../site-private", site / "Private"); // "site" begins it
        server.emplace(std::vector<std::string>{"serve", site.string(), "--port", "0", "--delay-ms",
                                                std::to_string(delay.count())});
        const std::regex line(R"(Serving .+ at http://127\.0\.0\.1:(\d+)/\n)");
        std::string log;
        std::smatch match;
        ASSERT_TRUE(waitUntil([&] { return std::regex_search(log = readLog(), match, line); }))
            << log;
        port = std::stoi(match[1]);
    }

    std::string readLog() const { return readFile(server->output); }
    // Keeps its connection alive and sends request targets exactly as written;
    // reads and writes time out after 5 s by default.
    httplib::Client client(const char *host = "127.0.0.1") const
    {
        httplib::Client client(host, port);
        client.set_url_encode(false);
        client.set_keep_alive(true);
        client.set_connection_timeout(5s);
        return client;
    }

    TempDir temp;
    fs::path site = temp.path / "site";
    std::optional<Tool> server;
    int port = 0;
};

TEST_F(ServeTest, ServesExactBytesLateOverOneKeptAliveConnectionOnLoopbackOnlyAndStopsOnSigtermDespiteIt)
{
    httplib::Client http = client();
    struct Case { const char *target, *file, *contentType; };
    const Case files[] = {{"/CartoonStars/Sunny%20Day.gif", "CartoonStars/Sunny Day.gif", "image/gif"},
                          {"/Plain.txt", "Plain.txt", "text/plain; charset=windows-1252"}};
    constexpr std::size_t requests = 12; // beyond the library's default limit of 5 per connection
    for (std::size_t i = 0; i < requests; ++i) {
        const Case &c = files[i % 2];
        SCOPED_TRACE(c.target + (" request " + std::to_string(i)));
        const auto start = std::chrono::steady_clock::now();
        const httplib::Result result = http.Get(c.target);
        EXPECT_GE(std::chrono::steady_clock::now() - start, delay);
        ASSERT_TRUE(result && result->status == 200);
        EXPECT_EQ(result->get_header_value("Content-Type"), c.contentType);
        EXPECT_EQ(result->body, readFile(site / c.file));
    }
    // The client reconnects without a word when the server closes; the
    // client ports in the log tell whether it had to.
    const std::regex logLine(R"re(\n127\.0\.0\.1:(\d+) "GET \S+ HTTP/1\.1" 200 )re");
    std::string log;
    std::vector<std::string> clientPorts;
    ASSERT_TRUE(waitUntil([&] {
        log = readLog();
        clientPorts.clear();
        for (std::sregex_iterator it(log.begin(), log.end(), logLine), end; it != end; ++it)
            clientPorts.push_back((*it)[1]);
        return clientPorts.size() >= requests;
    }, 5s)) << log;
    EXPECT_EQ(std::set(clientPorts.begin(), clientPorts.end()).size(), 1u) << log;
    // A server listening on every address would answer on 127.0.0.2 too.
    EXPECT_FALSE(client("127.0.0.2").Get("/Plain.txt"));
    ASSERT_TRUE(http.Get("/Plain.txt")); // the connection is idle, and kept alive
    kill(server->pid, SIGTERM);
    // Well below the 5 s keep-alive timeout the idle connection could hold it for.
    EXPECT_EQ(server->waitForExit(3s), std::optional(0)) << readLog();
}

TEST_F(ServeTest, AnswersNotFoundForMissingFilesAndAnythingOutsideTheFolder)
{
    httplib::Client http = client();
    const std::string absolute = "/" + (temp.path / "secret.txt").string();
    for (const char *target : {"/Plain/Nothing.gif", "/../secret.txt", "/%2e%2e/secret.txt",
                               "/..%2Fsecret.txt", "/..%5csecret.txt", "/..\\secret.txt",
                               absolute.c_str(), "/escape.txt", "/Private/secret.txt"}) {
        SCOPED_TRACE(target);
        const httplib::Result result = http.Get(target);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 404);
        EXPECT_EQ(result->body.find(secret), npos);
    }
}

// The exit code and the output of a command.
std::pair<std::optional<int>, std::string> run(std::vector<std::string> args)
{
    Tool tool(std::move(args));
    return {tool.waitForExit(), readFile(tool.output)}; // evaluated in this order
}

TEST(CheckCommand, AcceptsTheShippedSampleCatalogue)
{
    const auto [exitCode, output] = run({"check", VELLUMO_SAMPLE_CATALOGUE});
    EXPECT_EQ(exitCode, std::optional(0)) << output;
    EXPECT_NE(output.find("Catalogue OK"), npos) << output;
}

// A file written (or, without content, removed) and the problem it must cause.
struct BadFile { const char *name, *file, *content, *expectedProblem; };

// Names the row in ctest's test names, which otherwise hold its bytes and addresses.
void PrintTo(const BadFile &bad, std::ostream *out) { *out << bad.name; }

// One entry more than the program takes.
const std::string tooManyEntries = [] {
    std::string list = "Grey";
    while (list.size() < 4 + 2 * 32767)
        list += "*x";
    return list;
}();

// The small catalogue with one file broken.
const BadFile brokenCatalogues[] = {
    {"LineBreakAtTheEndOfTheCategoryList", "msnskins.txt", "Cartoon Stars*Plain\n",
     "msnskins.txt: ends with a line break"},
    {"EmptyEntry", "msnskins.txt", "Cartoon Stars**Plain", "msnskins.txt: has an empty entry ('**')"},
    {"SkinNameInTwoCategories", "Plain.txt", "Grey*Blue Moon",
     "Plain.txt: skin \"Blue Moon\" is also listed in Cartoon Stars.txt"},
    {"MissingCategoryFile", "Cartoon Stars.txt", nullptr, "Cartoon Stars.txt: missing"},
    {"MissingPicture", "CartoonStars/Sunny Day.gif", nullptr,
     "CartoonStars/Sunny Day.gif: missing"},
    {"PictureThatIsNoGif", "Plain/Grey.gif", "\x89PNG\r\n\x1a\n0000000000",
     "Plain/Grey.gif: is not a GIF picture"},
    {"MoreThan32767Entries", "Plain.txt", tooManyEntries.c_str(),
     "Plain.txt: has more than 32767 entries, which the program refuses"},
    {"CategoryFoldersCollideWithoutSpaces", "msnskins.txt", "Cartoon Stars*Plain*cartoonStars",
     "msnskins.txt: categories \"Cartoon Stars\" and \"cartoonStars\" share the picture folder "
     "\"cartoonStars\""},
};

using CheckBrokenCatalogue = ::testing::TestWithParam<BadFile>;

TEST_P(CheckBrokenCatalogue, ReportsTheProblem)
{
    const BadFile &broken = GetParam();
    TempDir temp;
    writeSmallCatalogue(temp.path);
    if (broken.content)
        writeFile(temp.path / broken.file, broken.content);
    else
        ASSERT_TRUE(fs::remove(temp.path / broken.file));
    const auto [exitCode, output] = run({"check", temp.path.string()});
    EXPECT_EQ(exitCode, std::optional(1)) << output;
    EXPECT_NE(output.find(std::string(broken.expectedProblem) + "\n"), npos) << output;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CheckBrokenCatalogue, ::testing::ValuesIn(brokenCatalogues),
                         [](const auto &info) { return std::string(info.param.name); });

// build: the small catalogue's pictures, one folder per category, and a
// category whose name is beyond ASCII (UTF-8 in file names, Windows-1252 in lists).
struct BuildTest : ::testing::Test {
    void SetUp() override
    {
        writeFile(source / "Cartoon Stars" / "Sunny Day.gif", tinyGif(0x20));
        writeFile(source / "Cartoon Stars" / "Blue Moon.gif", tinyGif(0x10));
        writeFile(source / "Plain" / "Grey.gif", tinyGif(0x30));
        writeFile(source / "Zo\u00eb" / "Pingu\u00efns.gif", tinyGif(0x40));
    }
    std::pair<std::optional<int>, std::string> build(std::vector<std::string> options = {})
    {
        options.insert(options.begin(), {"build", source.string(), target.string()});
        return run(options);
    }
    std::set<fs::path> besideTarget() const { return {fs::directory_iterator(temp.path), {}}; }

    TempDir temp;
    fs::path source = temp.path / "source", target = temp.path / "site";
};

TEST_F(BuildTest, WritesACatalogueThatCheckAcceptsAndReplacesOneOnlyWhenForced)
{
    const auto [exitCode, output] = build();
    ASSERT_EQ(exitCode, std::optional(0)) << output;
    EXPECT_EQ(readFile(target / "msnskins.txt"), "Cartoon Stars*Plain*Zo\xEB");
    EXPECT_EQ(readFile(target / "Cartoon Stars.txt"), "Blue Moon*Sunny Day");
    EXPECT_EQ(readFile(target / "Zo\u00eb.txt"), "Pingu\xEFns");
    EXPECT_EQ(readFile(target / "CartoonStars" / "Blue Moon.gif"), tinyGif(0x10));
    EXPECT_EQ(readFile(target / "Zo\u00eb" / "Pingu\u00efns.gif"), tinyGif(0x40));
    EXPECT_EQ(run({"check", target.string()}),
              std::pair(std::optional(0), std::string("Catalogue OK: 3 categories, 4 skins\n")));

    writeFile(temp.path / "order", "Zo\u00eb\r\nPlain\n\nCartoon Stars\n");
    EXPECT_EQ(build({"--order", (temp.path / "order").string()}).first, std::optional(1)) << "not empty";
    EXPECT_EQ(readFile(target / "msnskins.txt"), "Cartoon Stars*Plain*Zo\xEB");
    EXPECT_EQ(build({"--order", (temp.path / "order").string(), "--force"}).first, std::optional(0));
    EXPECT_EQ(readFile(target / "msnskins.txt"), "Zo\xEB*Plain*Cartoon Stars");
    EXPECT_EQ(besideTarget(), (std::set{source, target, temp.path / "order"}));
}

// A file added to the source, or an order file, that must stop the build.
const BadFile badSources[] = {
    {"FoldersCollideWithoutSpaces", "source/CartoonStars/Rain.gif", nullptr, "share the picture folder"},
    {"ForbiddenCharacter", "source/Plain/Why?.gif", nullptr, "skin \"Why?\" contains the character '?'"},
    {"PictureThatIsNoGif", "source/Plain/Fake.gif", "\x89PNG\r\n\x1a\n0000000000",
     "Fake.gif: is not a GIF picture"},
    {"SameSkinInTwoCategories", "source/Plain/Blue Moon.gif", nullptr, "\"Blue Moon\" is also listed in"},
    {"FileThatIsNoPicture", "source/Plain/notes.txt", "", "notes.txt: is not a picture named <skin>.gif"},
    {"StarInAName", "source/Plain/A*B.gif", nullptr, "the name contains '*'"},
    {"OrderFileWithoutACategory", "order", "Plain\nZo\u00eb\n",
     "does not name the category \"Cartoon Stars\""},
};

struct BuildFromBadSource : BuildTest, ::testing::WithParamInterface<BadFile> {};

TEST_P(BuildFromBadSource, RefusesAndWritesNothing)
{
    const BadFile &bad = GetParam();
    writeFile(temp.path / bad.file, bad.content ? bad.content : tinyGif(0x50));
    const bool ordered = fs::exists(temp.path / "order");
    const auto [exitCode, output] = build(ordered ? std::vector<std::string>{"--order", (temp.path / "order").string()}
                                                  : std::vector<std::string>{});
    EXPECT_EQ(exitCode, std::optional(1)) << output;
    EXPECT_NE(output.find(bad.expectedProblem), npos) << output;
    EXPECT_NE(output.find("nothing written"), npos) << output;
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(besideTarget().size(), ordered ? 2u : 1u) << "a folder was left beside the target";
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BuildFromBadSource, ::testing::ValuesIn(badSources),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
