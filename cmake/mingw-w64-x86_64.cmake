# Cross-builds the Qt-free core, corvelctl.exe and the core's tests as static
# 64-bit Windows executables with Debian's MinGW-w64 compiler (posix threads),
# and runs them under Wine:
#
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake
#
# The user interface is not part of this build (no Qt for MinGW here).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 reports impossible overlaps in inlined std::string copies at -O2 and
# above (a known false positive of -Wrestrict), which -Werror would make fatal.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Self-contained executables: no MinGW runtime DLLs to ship or to find under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(CORVEL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(CORVEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVEL_WINE})
endif()

set(CORVEL_BUILD_UI OFF CACHE BOOL "" FORCE)
set(CORVEL_BUILD_BENCH OFF CACHE BOOL "" FORCE)
