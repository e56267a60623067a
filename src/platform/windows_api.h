#pragma once

// <windows.h> as the Win32 backends include it, without the min and max
// macros and the rarely used parts, and what the backends share. Windows
// files only.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace vellumo::platform {

// An open registry key, closed when this goes.
class KeyHandle {
public:
    KeyHandle() = default;
    KeyHandle(const KeyHandle &) = delete;
    KeyHandle &operator=(const KeyHandle &) = delete;
    ~KeyHandle()
    {
        if (m_key)
            RegCloseKey(m_key);
    }

    HKEY *out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

} // namespace vellumo::platform
