#!/usr/bin/env bash
# The Debian package as a person uses it: installed with dpkg, the installed bumpdemo run
# windowed on an X server of the test's own (exact frames, the console key's report), then
# removed with apt-get, after which no file of it is left. Skipped (77) where it cannot run
# without harm: not root, the package not built yet, or a bumpdemo package already there.
#   package-check.sh DEB DEMO_CASES WORK_DIR FRAMES_DIR
set -uo pipefail

deb=$1
demoCases=$2
work=$3
frames=$4

Skip() {
    echo "SKIPPED: $*"
    exit 77
}
Fail() {
    echo "FAILED: $*"
    exit 1
}

[ "$(id -u)" -eq 0 ] || Skip "installing a package needs root"
[ -f "$deb" ] || Skip "no package $deb: cmake --build build/linux --target release"
if dpkg-query -W -f='${Status}' bumpdemo 2>/dev/null | grep -q "installed"; then
    Skip "a bumpdemo package is installed on this machine already"
fi

# What the package holds, as absolute paths ("./usr/bin/bumpdemo" -> "/usr/bin/bumpdemo").
mapfile -t paths < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\.||; s|/$||' |
                     grep -Ev '^(|/usr|/usr/bin|/usr/share|/usr/share/doc|/usr/share/man|/usr/share/man/man[0-9])$')
for path in "${paths[@]}"; do
    [ ! -e "$path" ] || Skip "$path is on this machine already"
done

trap 'dpkg -r bumpdemo >/dev/null 2>&1' EXIT
dpkg -i "$deb" || Fail "dpkg -i $deb"
for path in /usr/bin/bumpdemo /usr/bin/bumpframe /usr/share/doc/bumpdemo/README \
            /usr/share/man/man6/bumpdemo.6.gz /usr/share/man/man1/bumpframe.1.gz; do
    [ -e "$path" ] || Fail "$path is not installed"
done
echo "installed: ${paths[*]}"

python3 "$demoCases" windowed /usr/bin/bumpdemo "$work" "$frames" /usr/bin/bumpframe ||
    Fail "the installed bumpdemo does not run windowed with exact frames"

DEBIAN_FRONTEND=noninteractive apt-get remove -y bumpdemo >/dev/null || Fail "apt-get remove"
trap - EXIT
left=()
for path in "${paths[@]}"; do
    [ ! -e "$path" ] || left+=("$path")
done
[ ${#left[@]} -eq 0 ] || Fail "left after apt-get remove: ${left[*]}"
if dpkg-query -W -f='${Status}' bumpdemo 2>/dev/null | grep -q "installed\|config-files"; then
    Fail "dpkg still knows bumpdemo: $(dpkg-query -W -f='${Status}' bumpdemo)"
fi
echo "removed: nothing of the package left"
