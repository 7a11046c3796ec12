#!/usr/bin/env bash
# Checks the 32-bit release program's file, as the Wine cases cannot (they run it): a PE32
# console program for Intel 80386 that imports only from DLLs every Windows has. DirectDraw
# is loaded at run time, never imported, and the C and C++ runtimes are linked in, so no
# MinGW DLL has to travel with it. Windows may place it anywhere (ASLR) and runs none of its
# data (DEP), and its header holds no link time, so a build of the same source is the same
# file.
#   release-check.sh BUMPDEMO_EXE OBJDUMP
set -uo pipefail

program=$1
objdump=$2

Fail() {
    echo "FAILED: $*"
    exit 1
}

headers=$(TZ=UTC "$objdump" -p "$program") || Fail "$objdump cannot read $program"

grep -q "file format pei-i386" <<<"$headers" || Fail "not a PE file for Intel 80386"
grep -Eq "^Magic[[:space:]]+010b[[:space:]]+\(PE32\)" <<<"$headers" || Fail "not PE32"
grep -Eq "^Subsystem[[:space:]]+0+3[[:space:]]+\(Windows CUI\)" <<<"$headers" ||
    Fail "not a console program: $(grep '^Subsystem' <<<"$headers")"

grep -Eq "^[[:space:]]+DYNAMIC_BASE$" <<<"$headers" || Fail "not relocatable (no DYNAMIC_BASE)"
grep -Eq "^[[:space:]]+NX_COMPAT$" <<<"$headers" || Fail "data may run (no NX_COMPAT)"
grep -Eq "^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$" <<<"$headers" ||
    Fail "the header holds a link time: $(grep '^Time/Date' <<<"$headers")"

mapfile -t imports < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ ${#imports[@]} -gt 0 ] || Fail "no imports found"
for dll in "${imports[@]}"; do
    case ${dll,,} in
    kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll) ;;
    *) Fail "imports from $dll (allowed: kernel32, user32, gdi32, msvcrt)" ;;
    esac
done
echo "PE32 console program for Intel 80386, ASLR and DEP, no link time; imports from: ${imports[*]}"
