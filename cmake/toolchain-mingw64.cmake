# Cross build for 64-bit Windows with Debian's MinGW-w64 compiler.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
#
# The -posix tools are named explicitly: the plain names may point at the
# win32 thread model, which has no std::thread or std::mutex.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TIDEPULL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TIDEPULL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TIDEPULL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TIDEPULL_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${TIDEPULL_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TIDEPULL_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the MinGW sysroot (and the prefixes the
# caller adds through CMAKE_PREFIX_PATH); programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TIDEPULL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib's import library would make every module need zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
set(ZLIB_LIBRARY /usr/${TIDEPULL_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR /usr/${TIDEPULL_MINGW_TRIPLE}/include CACHE PATH "")

# Bit-identical arithmetic with the Linux build: no FMA contraction, no
# value-changing optimisation, SSE2 doubles (the x86-64 default) only.
set(CMAKE_C_FLAGS_INIT "-ffp-contract=off -fno-fast-math")
set(CMAKE_CXX_FLAGS_INIT "-ffp-contract=off -fno-fast-math")

# The C and C++ runtimes and winpthread are linked in: the modules then
# import only system DLLs, so a host's LoadLibrary finds everything.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
