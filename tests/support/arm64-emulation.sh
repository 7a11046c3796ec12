#!/usr/bin/env bash
# Makes the kernel hand 64-bit ARM programs to qemu-user's qemu-aarch64, so that arm64 test
# programs that start programs run them too (GoogleTest's death tests start their own
# program again; under the emulator alone that exec fails with "Exec format error").
# Leaves any emulator already registered for them; else, as root, registers
# /usr/bin/qemu-aarch64 with binfmt_misc (mounting it first when needed) under the name
# qemu-aarch64. Other registrations (the Wine tests' qemu-i386) are not touched.
# Prints what it found or did; exits 1, saying why, when it cannot.
set -uo pipefail

binfmt=/proc/sys/fs/binfmt_misc
emulator=/usr/bin/qemu-aarch64

# True when an enabled entry hands arm64 programs to some qemu-aarch64.
Registered() {
    local entry
    for entry in "$binfmt"/*; do
        [ -f "$entry" ] && grep -qx enabled "$entry" 2>/dev/null &&
            grep -q '^interpreter .*qemu-aarch64' "$entry" 2>/dev/null && return 0
    done
    return 1
}

[ -x "$emulator" ] || { echo "arm64 emulation: $emulator is missing (package qemu-user)"; exit 1; }
if [ -e "$binfmt/register" ] && Registered; then
    echo "arm64 programs run under $(grep -h '^interpreter .*qemu-aarch64' "$binfmt"/* 2>/dev/null | head -1 | cut -d' ' -f2)"
    exit 0
fi
[ "$(id -u)" -eq 0 ] || { echo "arm64 emulation: registering qemu-aarch64 needs root"; exit 1; }
[ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || {
    echo "arm64 emulation: binfmt_misc cannot be mounted"
    exit 1
}
Registered && exit 0
[ ! -e "$binfmt/qemu-aarch64" ] || echo -1 >"$binfmt/qemu-aarch64"
# ELF, 64-bit, little-endian, an executable or shared object (type 2 or 3), machine 183.
magic='\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xb7\x00'
mask='\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":qemu-aarch64:M::$magic:$mask:$emulator:" >"$binfmt/register" 2>/dev/null || {
    echo "arm64 emulation: qemu-aarch64 could not be registered"
    exit 1
}
echo "arm64 programs run under $emulator (registered with binfmt_misc)"
