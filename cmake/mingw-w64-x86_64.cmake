# Cross-compiles for 64-bit Windows with the posix-thread mingw-w64 compilers
# (the win32-thread variant has no std::mutex). Tests run under Wine through
# scripts/wine-run.sh, set as the cross-compiling emulator.
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

# The system's zlib package ships an import library too; a plug-in must not
# depend on zlib1.dll, so always take the static archive.
set(ZLIB_USE_STATIC_LIBS ON)


# The static libpng that scripts/setup.sh builds for this toolchain.
list(APPEND CMAKE_FIND_ROOT_PATH "${CMAKE_CURRENT_LIST_DIR}/../.deps/mingw-libpng")
