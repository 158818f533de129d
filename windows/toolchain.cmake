# 64-bit Windows with Debian's MinGW-w64 (posix threads, so std::thread and
# the C++ runtime match the DLLs shipped beside the program).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# The cross dependencies (Qt, OpenSSL, SQLite) come in through
# CMAKE_PREFIX_PATH; they live outside the sysroot, so the find root is both.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $ENV{KESTRO_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
