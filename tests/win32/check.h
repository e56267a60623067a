#pragma once

// A small check harness for the test programs that run under wine:
//
//   TEST_CASE(absent_value_reads_as_nothing) { CHECK_EQ(store->read(...), std::nullopt); }
//   int main() { return check::runAll(); }
//
// CHECK and CHECK_EQ report a failure and carry on; REQUIRE also ends the case.
// runAll answers non-zero when a case failed or none ran.

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

// A value for a failure report: text in quotes, units outside printable ASCII as \uXXXX.
template <typename T>
std::string show(const T &value)
{
    if constexpr (std::is_arithmetic_v<T>)
        return std::to_string(value);
    else if constexpr (std::is_same_v<T, std::nullopt_t>)
        return "nullopt";
    else if constexpr (requires { value.has_value(); })
        return value ? show(*value) : "nullopt";
    else {
        const std::basic_string_view text(std::data(value));
        std::string out = "\"";
        for (const auto unit : text.substr(0, 100)) {
            const unsigned code = static_cast<std::make_unsigned_t<decltype(unit)>>(unit);
            char shown[8];
            std::snprintf(shown, sizeof shown, code >= 0x20 && code < 0x7f ? "%c" : "\\u%04X", code);
            out += shown;
        }
        return out + "\" (" + std::to_string(text.size()) + " units)";
    }
}

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
    return actual == expected
           || report(false, file, line,
                     std::string(what) + "\n    actual:   " + show(actual) + "\n    expected: " + show(expected));
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
