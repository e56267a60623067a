#pragma once

// A small check harness for the test programs that are cross-built with
// mingw-w64 and run under wine.
//
//   TEST_CASE(absent_value_reads_as_nothing) { CHECK(!store->read(...)); }
//   int main(int argc, char **argv) { return check::runAll(argc, argv); }
//
// CHECK / CHECK_EQ record a failure (with file:line) and carry on; REQUIRE /
// REQUIRE_EQ also end the current case. A case passes when none of its checks
// failed. The program prints one line per failure and closes with the line
// "N passed, N failed" (cases); it exits non-zero when any case failed or no
// case ran. Arguments passed to runAll, if any, name the cases to run; a
// program that takes arguments of its own calls runAll() without them.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace check {

struct Case {
    const char *name;
    void (*run)();
};

inline std::vector<Case> &registeredCases()
{
    static std::vector<Case> cases;
    return cases;
}

struct Registrar {
    Registrar(const char *name, void (*run)()) { registeredCases().push_back({name, run}); }
};

struct Run {
    const char *currentCase = "";
    int failuresInCase = 0;
};

inline Run &currentRun()
{
    static Run run;
    return run;
}

// Thrown by REQUIRE to leave the case; the failure is already recorded.
struct CaseAborted {};

// --- Describing values in failure messages ---------------------------------

inline void appendEscaped(std::string &out, char32_t c)
{
    if (c == U'"' || c == U'\\') {
        out += '\\';
        out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7f) {
        out += static_cast<char>(c);
    } else {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, c > 0xffff ? "\\U%08X" : "\\u%04X",
                      static_cast<unsigned>(c));
        out += buffer;
    }
}

template <typename Char>
std::string quoted(std::basic_string_view<Char> text)
{
    constexpr std::size_t limit = 120;
    std::string out = "\"";
    std::size_t shown = 0;
    for (; shown < text.size() && shown < limit; ++shown)
        appendEscaped(out, static_cast<char32_t>(static_cast<std::make_unsigned_t<Char>>(text[shown])));
    out += '"';
    if (shown < text.size())
        out += "... (" + std::to_string(text.size()) + " units)";
    return out;
}

template <typename T>
std::string describeOne(const T &value)
{
    if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else if constexpr (std::is_same_v<T, std::nullopt_t>) {
        return "nullopt";
    } else if constexpr (std::is_same_v<T, std::nullptr_t>) {
        return "nullptr";
    } else if constexpr (std::is_enum_v<T>) {
        return std::to_string(static_cast<long long>(value));
    } else if constexpr (std::is_integral_v<T>) {
        if constexpr (std::is_signed_v<T>)
            return std::to_string(static_cast<long long>(value));
        else
            return std::to_string(static_cast<unsigned long long>(value));
    } else if constexpr (std::is_floating_point_v<T>) {
        return std::to_string(value);
    } else if constexpr (std::is_convertible_v<const T &, std::string_view>) {
        return quoted(std::string_view(value));
    } else if constexpr (std::is_convertible_v<const T &, std::u16string_view>) {
        return quoted(std::u16string_view(value));
    } else if constexpr (std::is_convertible_v<const T &, std::wstring_view>) {
        return quoted(std::wstring_view(value));
    } else if constexpr (std::is_pointer_v<T>) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%p", static_cast<const void *>(value));
        return buffer;
    } else {
        return "(value)";
    }
}

template <typename T>
struct IsOptional : std::false_type {};
template <typename T>
struct IsOptional<std::optional<T>> : std::true_type {};

template <typename T>
std::string describe(const T &value)
{
    if constexpr (IsOptional<T>::value)
        return value ? describe(*value) : std::string("nullopt");
    else
        return describeOne(value);
}

// --- Recording ---------------------------------------------------------------

inline void fail(const char *file, int line, const std::string &message)
{
    ++currentRun().failuresInCase;
    std::printf("%s:%d: FAILED in %s: %s\n", file, line, currentRun().currentCase,
                message.c_str());
    std::fflush(stdout);
}

inline bool check(bool ok, const char *file, int line, const char *expression)
{
    if (!ok)
        fail(file, line, std::string("CHECK(") + expression + ")");
    return ok;
}

template <typename A, typename B>
bool checkEqual(const A &actual, const B &expected, const char *file, int line,
                const char *actualText, const char *expectedText)
{
    if (actual == expected)
        return true;
    fail(file, line,
         std::string("CHECK_EQ(") + actualText + ", " + expectedText + ")\n    actual:   "
             + describe(actual) + "\n    expected: " + describe(expected));
    return false;
}

// --- Running -----------------------------------------------------------------

inline bool selected(const char *name, int argc, char **argv)
{
    if (argc <= 1)
        return true;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == name)
            return true;
    return false;
}

inline int runAll(int argc = 0, char **argv = nullptr)
{
    int passed = 0;
    int failed = 0;
    for (const Case &testCase : registeredCases()) {
        if (!selected(testCase.name, argc, argv))
            continue;
        Run &run = currentRun();
        run.currentCase = testCase.name;
        run.failuresInCase = 0;
        try {
            testCase.run();
        } catch (const CaseAborted &) {
        } catch (const std::exception &error) {
            fail(__FILE__, __LINE__, std::string("exception escaped: ") + error.what());
        } catch (...) {
            fail(__FILE__, __LINE__, "unknown exception escaped");
        }
        if (run.failuresInCase == 0) {
            ++passed;
        } else {
            ++failed;
            std::printf("case %s: %d failure(s)\n", testCase.name, run.failuresInCase);
        }
    }
    if (passed + failed == 0)
        std::printf("no test case ran\n");
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return (failed == 0 && passed > 0) ? 0 : 1;
}

} // namespace check

#define CHECK_CONCAT_INNER(a, b) a##b
#define CHECK_CONCAT(a, b) CHECK_CONCAT_INNER(a, b)

#define TEST_CASE(name)                                                                  \
    static void name();                                                                  \
    static const ::check::Registrar CHECK_CONCAT(registrar_, name)(#name, &name);        \
    static void name()

#define CHECK(expression) ::check::check(static_cast<bool>(expression), __FILE__, __LINE__, #expression)

#define CHECK_EQ(actual, expected)                                                       \
    ::check::checkEqual((actual), (expected), __FILE__, __LINE__, #actual, #expected)

#define REQUIRE(expression)                                                              \
    do {                                                                                 \
        if (!CHECK(expression))                                                          \
            throw ::check::CaseAborted{};                                                \
    } while (false)

#define REQUIRE_EQ(actual, expected)                                                     \
    do {                                                                                 \
        if (!CHECK_EQ(actual, expected))                                                 \
            throw ::check::CaseAborted{};                                                \
    } while (false)
