# Cross build for Linux on 64-bit ARM with Debian's cross compiler (crossbuild-essential-arm64)
# and the :arm64 libraries of the multiarch folders. Programs built here run on this machine
# under qemu-user (the tests, through CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# Libraries and their CMake packages from /usr/lib/aarch64-linux-gnu.
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
# The Debian package's architecture (tools/release/debian-package.sh).
set(DEBIAN_ARCHITECTURE arm64)
