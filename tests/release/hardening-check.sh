#!/usr/bin/env bash
# Checks that a Linux program is built as Debian builds its packages, from the file itself:
# position-independent (PIE), relocations resolved at start and then read-only (full RELRO:
# GNU_RELRO and BIND_NOW), stack canaries (__stack_chk_fail), checked library calls
# (FORTIFY_SOURCE's __*_chk), and, when the compiler offers it (CET given as the second
# argument), control-flow protection: the program's own functions start with an indirect
# branch target (endbr). The file is not marked for IBT and SHSTK as a whole where the C
# library's start files carry no such mark (Debian 12's do not).
#   hardening-check.sh PROGRAM [CET]
set -uo pipefail

program=$1
cet=${2:-}

Fail() {
    echo "FAILED: $program: $*"
    exit 1
}

header=$(readelf --file-header "$program") || Fail "readelf cannot read it"
grep -Eq "^ +Type: +DYN " <<<"$header" || Fail "not position-independent: $(grep Type: <<<"$header")"
grep -q " GNU_RELRO " <<<"$(readelf --program-headers --wide "$program")" ||
    Fail "no GNU_RELRO segment"
dynamic=$(readelf --dynamic "$program")
grep -Eq "\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW" <<<"$dynamic" || Fail "no BIND_NOW"
symbols=$(readelf --dyn-syms --wide "$program")
grep -q " __stack_chk_fail" <<<"$symbols" || Fail "no stack protector (__stack_chk_fail)"
mapfile -t checked < <(grep -Eo " __[a-z_]+_chk(@[A-Z_0-9.]+)?" <<<"$symbols" |
                       grep -v __stack_chk | sed 's/^ //; s/@.*//' | sort -u)
[ ${#checked[@]} -gt 0 ] || Fail "no fortified library calls (__*_chk)"
if [ -n "$cet" ]; then
    first=$(objdump --disassemble=main --no-show-raw-insn "$program" |
            sed -n '/<main>:/{n;p;q}')
    grep -q "endbr" <<<"$first" || Fail "main does not start with endbr: $first"
fi
echo "$program: PIE, GNU_RELRO, BIND_NOW, __stack_chk_fail, ${checked[*]}${cet:+, endbr (CET)}"
