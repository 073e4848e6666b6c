# Cross build for 64-bit ARM Linux with Debian's own cross compiler and the
# arm64 multiarch -dev packages (scripts/build-arm64-deps.sh installs both):
#
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-aarch64.cmake
#
# Programs the build runs itself (the preset, Turtle and module-info writers,
# the editor snapshot, the test listing) run under qemu-aarch64. The arm64
# libraries live in /usr/lib/aarch64-linux-gnu beside the machine's own, so
# the emulator needs no separate prefix.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(TIDEPULL_CROSS_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${TIDEPULL_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${TIDEPULL_CROSS_TRIPLE}-g++)
set(CMAKE_AR ${TIDEPULL_CROSS_TRIPLE}-gcc-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${TIDEPULL_CROSS_TRIPLE}-gcc-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP ${TIDEPULL_CROSS_TRIPLE}-strip CACHE FILEPATH "")

# Debian multiarch: the arm64 libraries and their CMake and pkg-config files
# sit in /usr/lib/aarch64-linux-gnu, which CMake searches instead of the
# machine's own x86_64-linux-gnu; the headers are shared.
set(CMAKE_LIBRARY_ARCHITECTURE ${TIDEPULL_CROSS_TRIPLE})
set(PKG_CONFIG_EXECUTABLE ${TIDEPULL_CROSS_TRIPLE}-pkg-config CACHE FILEPATH "")

find_program(TIDEPULL_QEMU_AARCH64 qemu-aarch64)
if(NOT TIDEPULL_QEMU_AARCH64)
  message(FATAL_ERROR "No qemu-aarch64 (apt-get install qemu-user): the build runs its arm64 tools under it")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${TIDEPULL_QEMU_AARCH64})

# Bit-identical arithmetic with the x86-64 build: no FMA contraction (AArch64
# has fused multiply-add in its base instruction set, where x86-64's baseline
# has none, so a contraction would change bits here only), no value-changing
# optimisation.
set(CMAKE_C_FLAGS_INIT "-ffp-contract=off -fno-fast-math")
set(CMAKE_CXX_FLAGS_INIT "-ffp-contract=off -fno-fast-math")
