#!/usr/bin/env bash
# Makes the kernel hand 64-bit ARM programs to qemu-user's qemu-aarch64, so that arm64 test
# programs that start programs run them too (GoogleTest's death tests start their own
# program again; under the emulator alone that exec fails with "Exec format error").
# Leaves any emulator already registered for them; else, as root, registers
# /usr/bin/qemu-aarch64 with binfmt_misc (mounting it first when needed) under the name
# qemu-aarch64. Other registrations (the Wine tests' qemu-i386) are not touched.
# Prints what it found or did; exits 1, saying why, when it cannot.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/binfmt-lib.sh"

emulator=/usr/bin/qemu-aarch64

[ -x "$emulator" ] || { echo "arm64 emulation: $emulator is missing (package qemu-user)"; exit 1; }
if [ -e "$Binfmt/register" ] && EmulationRegistered qemu-aarch64; then
    echo "arm64 programs run under $(grep -h '^interpreter .*qemu-aarch64' "$Binfmt"/* 2>/dev/null | head -1 | cut -d' ' -f2)"
    exit 0
fi
[ "$(id -u)" -eq 0 ] || { echo "arm64 emulation: registering qemu-aarch64 needs root"; exit 1; }
[ -e "$Binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$Binfmt" 2>/dev/null || {
    echo "arm64 emulation: binfmt_misc cannot be mounted"
    exit 1
}
EmulationRegistered qemu-aarch64 && exit 0
[ ! -e "$Binfmt/qemu-aarch64" ] || echo -1 >"$Binfmt/qemu-aarch64"
# ELF, 64-bit, little-endian, an executable or shared object (type 2 or 3), machine 183.
magic='\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xb7\x00'
mask='\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":qemu-aarch64:M::$magic:$mask:$emulator:" >"$Binfmt/register" 2>/dev/null || {
    echo "arm64 emulation: qemu-aarch64 could not be registered"
    exit 1
}
echo "arm64 programs run under $emulator (registered with binfmt_misc)"
