#pragma once

#include <chrono>
#include <cstdint>

namespace vellumo {

// The limits every transfer of the process works under. One object for the
// whole program; tests set smaller limits.
struct TransferPolicy {
    std::chrono::milliseconds connectTimeout{15'000};
    // A transfer slower than lowSpeedBytesPerSecond for lowSpeedTime is cut off.
    long lowSpeedBytesPerSecond = 1;
    std::chrono::seconds lowSpeedTime{30};
    std::chrono::milliseconds maxTime{120'000};
    std::int64_t maxBytes = 64 * 1024 * 1024;
    long maxRedirects = 10;
    // After a host could not be resolved or reached, transfers to it fail at
    // once for this long.
    std::chrono::milliseconds unreachableHostPause{30'000};
};

TransferPolicy &transferPolicy();

} // namespace vellumo
