#pragma once

// <windows.h> as the Win32 backends include it: without the min and max
// macros and the rarely used parts. Windows files only.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
