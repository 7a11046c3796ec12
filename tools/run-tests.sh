#!/usr/bin/env bash
# Builds every target (linux, linux-asan, linux-arm64, win32, win64, web) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
RequirePackages "${TestPackages[@]}"
UseEmscriptenCache
jobs=$(nproc)

for preset in linux linux-asan linux-arm64 win32 win64 web; do
    echo "=== build $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build "build/$preset" -j"$jobs"
done
echo "=== build the release archives"
for preset in win32 linux linux-arm64 web; do
    cmake --build "build/$preset" --target release
done

# Builds a preset's release again, later and in another folder, and checks that the given
# files of its build folder are the same bytes in both.
CheckReproducible() {
    local preset=$1 started=$SECONDS file
    shift
    echo "=== check that the $preset release is reproducible"
    cmake --preset "$preset" -B "build/$preset-again" >/dev/null
    cmake --build "build/$preset-again" -j"$jobs" --target release >/dev/null
    for file in "$@"; do
        if ! cmp "build/$preset/$file" "build/$preset-again/$file"; then
            echo "FAILED: two builds of the $preset release differ in $file"
            exit 1
        fi
    done
    echo "$*: the same bytes from build/$preset and build/$preset-again" \
         "($((SECONDS - started)) s)"
}
CheckReproducible win32 driver/bumpdemo.exe bumpdemo-win32.zip
deb=$(sed -n 's/^ReleaseArchive:INTERNAL=//p' build/linux/CMakeCache.txt)
CheckReproducible linux "${deb##*/}"

# Prints what file(1) says of a program and checks it says the expected kind (an extended
# expression: file 5.44 says "PE32 executable (console) Intel 80386", 5.46 "PE32
# executable for MS Windows 4.00 (console), Intel i386").
CheckProgram() {
    local kind
    kind=$(file "$1")
    echo "$kind"
    grep -Eq "$2" <<<"$kind"
}

echo "=== check the Windows programs"
CheckProgram build/win32/driver/bumpdemo.exe 'PE32 executable .*\(console\),? Intel (80386|i386)'
CheckProgram build/win64/driver/bumpdemo.exe 'PE32\+ executable .*\(console\),? x86-64'

# win32 and win64: the Windows programs under Wine (32-bit and 64-bit), each test on an X
# server of its own; they take the build tree's Wine prefix one at a time (the first
# creates it, about a minute). win32 also checks the release's format and imports and the
# archive, and runs the windowed case on the bumpdemo.exe unpacked from it.
# web: the page in Chromium, Firefox ESR and WebKitGTK, against the linux build's bumpframe.
# linux-arm64: the arm64 programs under qemu-user (qemu-aarch64), the unit tests and the
# end-to-end cases on Xvfb alike.
# Whether this machine runs 32-bit Wine is looked at afresh on every run.
rm -f build/win32/wineprefix.32bit build/win32/wineprefix.emulation

source tools/test-preset.sh

# The arm64 tests whose programs start programs (death tests) need the kernel to hand arm64
# programs to qemu-aarch64; without it they fail, and the preset with them.
echo "=== arm64 emulation"
tests/support/arm64-emulation.sh || true

# Every preset runs even after one has failed, so that one run shows every failure.
failed=()
for preset in linux linux-asan linux-arm64 win32 win64 web; do
    TestPreset "$preset" || { status=$?; failed+=("$preset"); }
done
# The linux, web and win64 presets again, in a Debian 13 system made for them.
tools/debian13.sh || { status=$?; failed+=(debian13); }

# The 32-bit runs skip on a machine that cannot run 32-bit Wine: say so last, and how they
# ran when they did (emulated where the kernel runs no 32-bit programs).
reason=$(cat build/win32/wineprefix.32bit 2>/dev/null || echo "its tests did not get to look")
if [ -n "$reason" ]; then
    echo "=== NOTE: the 32-bit release (win32) was NOT run on this machine; its Wine tests were skipped:"
    echo "    $reason"
elif [ -s build/win32/wineprefix.emulation ]; then
    echo "=== the 32-bit release (win32) ran under 32-bit Wine, emulated (its frame rates are the emulator's):"
    echo "    $(cat build/win32/wineprefix.emulation)"
else
    echo "=== the 32-bit release (win32) ran under 32-bit Wine, natively"
fi

if [ ${#failed[@]} -gt 0 ]; then
    echo "=== FAILED: tests of ${failed[*]}"
    exit "$status"
fi
