#!/usr/bin/env bash
# Builds every target (linux, linux-asan, win32, win64) and runs every test; linux-tsan
# builds the programs of the screen layer's tests and runs them under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
RequirePackages "${TestPackages[@]}"
jobs=$(nproc)

for preset in linux linux-asan win32 win64; do
    echo "=== build $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build "build/$preset" -j"$jobs"
done
echo "=== build linux-tsan"
cmake --preset linux-tsan >/dev/null
cmake --build build/linux-tsan -j"$jobs" --target ScreenLayerTest SoakTest bumpdemo bumpframe

# Prints what file(1) says of a program and checks it says the expected kind.
CheckProgram() {
    local kind
    kind=$(file "$1")
    echo "$kind"
    grep -q "$2" <<<"$kind"
}

echo "=== check the Windows programs"
CheckProgram build/win32/driver/bumpdemo.exe "PE32 executable (console) Intel 80386"
CheckProgram build/win64/driver/bumpdemo.exe "PE32+ executable (console) x86-64"

# win32: the release program's format and imports (this kernel runs no 32-bit code).
# win64: the Windows programs under Wine, each test on an X server of its own; they take
# the build tree's Wine prefix one at a time (the first creates it, about a minute).
for preset in linux linux-asan win32 win64; do
    echo "=== test $preset"
    ctest --preset "$preset" -j"$jobs"
done
# The screen, soak and end-to-end tests (the preset's filter); a data race fails the test.
# ThreadSanitizer's memory layout needs the address space unrandomised on kernels with
# many random mmap bits (Linux 6.6 and later), so the tests run under setarch -R.
echo "=== test linux-tsan"
setarch "$(uname -m)" -R ctest --preset linux-tsan -j"$jobs"
