# shellcheck shell=bash
# Shared by the test scripts that run programs of another architecture under qemu-user
# (sourced, not run): the kernel's binfmt_misc registrations.
Binfmt=/proc/sys/fs/binfmt_misc

# True when an enabled binfmt_misc entry hands programs to an interpreter of the given
# name (qemu-aarch64, qemu-i386), wherever it lies.
EmulationRegistered() {
    local name=$1 entry
    for entry in "$Binfmt"/*; do
        [ -f "$entry" ] && grep -qx enabled "$entry" 2>/dev/null &&
            grep -q "^interpreter .*$name" "$entry" 2>/dev/null && return 0
    done
    return 1
}
