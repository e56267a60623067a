#pragma once

// A small check harness for the test programs that run under wine.
//
//   TEST_CASE(absent_value_reads_as_nothing) { CHECK_EQ(store->read(...), std::nullopt); }
//   int main() { return check::runAll(); }
//
// CHECK and CHECK_EQ report a failure and carry on; REQUIRE also ends the case.
// runAll closes with the line "N passed, N failed" (cases) and answers non-zero
// when a case failed or none ran.

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace check {

struct Case {
    const char *name;
    void (*run)();
};
inline std::vector<Case> cases;
inline int failuresInCase = 0;
struct Abort {};

// Text in quotes, with units outside printable ASCII as \uXXXX.
template <typename Char>
std::string quoted(std::basic_string_view<Char> text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < 100; ++i) {
        const unsigned unit = static_cast<std::make_unsigned_t<Char>>(text[i]);
        char shown[8];
        std::snprintf(shown, sizeof shown, unit >= 0x20 && unit < 0x7f ? "%c" : "\\u%04X", unit);
        out += shown;
    }
    out += '"';
    return text.size() > 100 ? out + "... (" + std::to_string(text.size()) + " units)" : out;
}
inline std::string show(std::string_view text) { return quoted(text); }
inline std::string show(std::u16string_view text) { return quoted(text); }
inline std::string show(std::wstring_view text) { return quoted(text); }
inline std::string show(std::nullopt_t) { return "nullopt"; }
template <typename T>
    requires std::is_arithmetic_v<T>
std::string show(T value) { return std::to_string(value); }
template <typename T>
std::string show(const std::optional<T> &value) { return value ? show(*value) : "nullopt"; }

inline bool report(bool ok, const char *file, int line, const std::string &what)
{
    if (!ok) {
        ++failuresInCase;
        std::printf("%s:%d: FAILED: %s\n", file, line, what.c_str());
        std::fflush(stdout);
    }
    return ok;
}

template <typename A, typename B>
bool equal(const A &actual, const B &expected, const char *file, int line, const char *what)
{
    if (actual == expected)
        return true;
    return report(false, file, line, std::string(what) + "\n    actual:   " + show(actual)
                                         + "\n    expected: " + show(expected));
}

inline int runAll()
{
    int passed = 0, failed = 0;
    for (const Case &testCase : cases) {
        failuresInCase = 0;
        try {
            testCase.run();
        } catch (const Abort &) {
        }
        if (failuresInCase)
            std::printf("case %s: %d failure(s)\n", testCase.name, failuresInCase);
        ++(failuresInCase ? failed : passed);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}

// Runs a command line, its output discarded and its errors shown; nullptr
// when it cannot be started.
inline HANDLE start(std::wstring commandLine)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inheritable,
                                     OPEN_EXISTING, 0, nullptr);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(startup.hStdOutput);
    if (!started) {
        std::printf("cannot run %ls (error %lu)\n", commandLine.c_str(), GetLastError());
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

// The exit code of the process, or nothing when it does not end within
// timeoutMs; it is ended then.
inline std::optional<DWORD> finish(HANDLE process, DWORD timeoutMs)
{
    if (!process)
        return std::nullopt;
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0
                       && GetExitCodeProcess(process, &code);
    if (!ended)
        TerminateProcess(process, 1);
    CloseHandle(process);
    return ended ? std::optional<DWORD>(code) : std::nullopt;
}

} // namespace check

#define TEST_CASE(name)                                                                  \
    static void name();                                                                  \
    static const bool name##_registered = (check::cases.push_back({#name, &name}), true); \
    static void name()

#define CHECK(expression) \
    check::report(static_cast<bool>(expression), __FILE__, __LINE__, "CHECK(" #expression ")")
#define CHECK_EQ(actual, expected) \
    check::equal((actual), (expected), __FILE__, __LINE__, "CHECK_EQ(" #actual ", " #expected ")")
#define REQUIRE(expression)       \
    do {                          \
        if (!CHECK(expression))   \
            throw check::Abort{}; \
    } while (false)
