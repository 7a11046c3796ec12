#!/usr/bin/env bash
# Builds every target (linux, linux-asan, win32, win64, web) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
RequirePackages "${TestPackages[@]}"
UseEmscriptenCache
jobs=$(nproc)

for preset in linux linux-asan win32 win64 web; do
    echo "=== build $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build "build/$preset" -j"$jobs"
done

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
# web: the page in headless Chromium, against the linux build's bumpframe.
for preset in linux linux-asan win32 win64 web; do
    echo "=== test $preset"
    ctest --preset "$preset" -j"$jobs"
done
