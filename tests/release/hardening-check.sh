#!/usr/bin/env bash
# Checks that a Linux program is built as Debian builds its packages, from the file itself:
# position-independent (PIE), relocations resolved at start and then read-only (full RELRO:
# GNU_RELRO and BIND_NOW), stack canaries (__stack_chk_fail), checked library calls
# (FORTIFY_SOURCE's __*_chk), and, when the compiler offers it, control-flow protection:
# on x86 (CET given as the second argument) the program's own functions start with an
# indirect branch target (endbr); the file is not marked for IBT and SHSTK as a whole
# where the C library's start files carry no such mark (Debian 12's do not). On arm64 (BTI
# given) the file's property note marks it for branch target identification and pointer
# authentication; the linker writes that note only when every linked object has it, and
# Debian 12's C library and GCC objects linked into every program have none (glibc's
# Scrt1.o, crti.o, crtn.o, libc_nonshared.a's atexit; GCC's crtbeginS.o, crtendS.o and
# libgcc.a's atomics), so there the program's own functions must start with a landing pad
# that signs the return address (paciasp) or with bti. OBJDUMP names an objdump for the
# program's processor.
#   hardening-check.sh PROGRAM [CET|BTI]
set -uo pipefail

program=$1
protection=${2:-}

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
# The first instruction of main.
FirstOfMain() {
    "${OBJDUMP:-objdump}" --disassemble=main --no-show-raw-insn "$program" |
        sed -n '/<main>:/{n;p;q}'
}

case $protection in
CET)
    first=$(FirstOfMain)
    grep -q "endbr" <<<"$first" || Fail "main does not start with endbr: $first"
    protection="endbr (CET)" ;;
BTI)
    feature=$(readelf --notes "$program" | grep -o "AArch64 feature:.*")
    if [ "$feature" = "AArch64 feature: BTI, PAC" ]; then
        protection="BTI, PAC (property note)"
    else
        first=$(FirstOfMain)
        grep -Eq "paciasp|bti" <<<"$first" || Fail "main starts with neither paciasp nor bti: $first"
        protection="main starts with $(awk '{print $2}' <<<"$first") (BTI, PAC)"
        protection+=", no property note (${feature:-none})"
    fi ;;
esac
echo "$program: PIE, GNU_RELRO, BIND_NOW, __stack_chk_fail, ${checked[*]}${protection:+, $protection}"
