# Toolchain for 64-bit Windows programs built with mingw-w64 on Linux.
#
#   cmake -S tools/win32 -B build-win32 -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVELLUMO_SOURCE_DIR=$PWD
#
# The programs are linked statically, so they run under wine (or on Windows)
# without any mingw runtime DLLs beside them.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELLUMO_MINGW_TRIPLE x86_64-w64-mingw32)

# Prefer the compilers with the POSIX thread model: they provide std::thread and
# std::mutex, which the win32-model ones of GCC 12 lack.
find_program(CMAKE_C_COMPILER NAMES ${VELLUMO_MINGW_TRIPLE}-gcc-posix ${VELLUMO_MINGW_TRIPLE}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VELLUMO_MINGW_TRIPLE}-g++-posix ${VELLUMO_MINGW_TRIPLE}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VELLUMO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELLUMO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wide-character Win32 API by default; Windows 7 is the oldest target.
set(VELLUMO_MINGW_DEFINES "-DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0601 -DWINVER=0x0601")
set(CMAKE_C_FLAGS_INIT "${VELLUMO_MINGW_DEFINES}")
set(CMAKE_CXX_FLAGS_INIT "${VELLUMO_MINGW_DEFINES}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
