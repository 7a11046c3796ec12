#!/usr/bin/env bash
# The Debian package as a distribution and a person see it: lintian and the menu's and
# AppStream's validators find no fault; installed with dpkg, its menu entry's command is
# tried and the installed bumpdemo run windowed on an X server of the test's own (exact
# frames, the console key's report); removed with apt-get, no file of it is left. Skipped
# (77) where it cannot run without harm: not root, the package not built yet, or a
# bumpdemo package already there.
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

[ -f "$deb" ] || Skip "no package $deb: cmake --build build/linux --target release"

# lintian as Debian's archive runs it: errors and warnings fail.
lintian --fail-on error,warning "$deb" || Fail "lintian reports errors or warnings on $deb"
echo "lintian: no errors or warnings"

# The menu entry and the metadata as the package holds them, with the icon they name.
tree=$work/tree
rm -rf "$tree" && mkdir -p "$tree" && dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree/usr/share/applications/bumpdemo.desktop" ||
    Fail "desktop-file-validate rejects bumpdemo.desktop"
appstreamcli validate-tree --no-net "$tree" || Fail "appstreamcli rejects the package's metadata"

[ "$(id -u)" -eq 0 ] || Skip "installing a package needs root"
if dpkg-query -W -f='${Status}' bumpdemo 2>/dev/null | grep -q "installed"; then
    Skip "a bumpdemo package is installed on this machine already"
fi

# What the package holds, as absolute paths ("./usr/bin/bumpdemo" -> "/usr/bin/bumpdemo");
# folders on the machine before (/usr/share/icons/hicolor/48x48/apps) are not its own.
mapfile -t paths < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\.||; s|/$||' | grep -v '^$')
own=()
for path in "${paths[@]}"; do
    [ ! -d "$path" ] || continue
    [ ! -e "$path" ] || Skip "$path is on this machine already"
    own+=("$path")
done

trap 'dpkg -r bumpdemo >/dev/null 2>&1' EXIT
dpkg -i "$deb" || Fail "dpkg -i $deb"
entry=/usr/share/applications/bumpdemo.desktop
icons=/usr/share/icons/hicolor
for path in /usr/bin/bumpdemo /usr/bin/bumpframe /usr/share/doc/bumpdemo/README \
            /usr/share/doc/bumpdemo/copyright /usr/share/doc/bumpdemo/changelog.gz \
            /usr/share/man/man1/bumpdemo.1.gz /usr/share/man/man1/bumpframe.1.gz "$entry" \
            /usr/share/metainfo/example.bumpdemo.bumpdemo.metainfo.xml; do
    [ -f "$path" ] || Fail "$path is not installed"
done
for size in 48 128 256; do
    icon=$icons/${size}x$size/apps/bumpdemo.png
    file "$icon" | grep -q "PNG image data, $size x $size, 8-bit/color RGB" ||
        Fail "$icon is not a $size x $size picture: $(file "$icon")"
done
echo "installed: ${own[*]}"

# The menu entry's command keeps its terminal open after the report until a line is
# typed: with a stand-in bumpdemo and a file as its input, it has read the file's first
# line, and no more, when it ends.
command=$(sed -n 's/^Exec=sh -c "\(.*\)"$/\1/p' "$entry")
[ -n "$command" ] || Fail "$entry: Exec is not sh -c \"...\""
mkdir -p "$work/menu"
printf '#!/bin/sh\necho "BENCHMARK: 19.96 FPS"\n' >"$work/menu/bumpdemo"
chmod +x "$work/menu/bumpdemo"
printf 'first\nsecond\n' >"$work/menu/typed"
exec {typed}<"$work/menu/typed"
PATH="$work/menu:$PATH" sh -c "$command" <&"$typed" >"$work/menu/out.txt" 2>&1 ||
    Fail "the menu entry's command ends with $?: $(cat "$work/menu/out.txt")"
position=$(sed -n 's/^pos:[[:space:]]*//p' "/proc/$$/fdinfo/$typed")
exec {typed}<&-
[ "$(head -n 1 "$work/menu/out.txt")" = "BENCHMARK: 19.96 FPS" ] ||
    Fail "the menu entry's command shows no report first: $(cat "$work/menu/out.txt")"
[ "$position" = 6 ] ||
    Fail "the menu entry's command read $position bytes of its input, not one line"
echo "menu entry: $command"

python3 "$demoCases" windowed /usr/bin/bumpdemo "$work" "$frames" /usr/bin/bumpframe ||
    Fail "the installed bumpdemo does not run windowed with exact frames"

DEBIAN_FRONTEND=noninteractive apt-get remove -y bumpdemo >/dev/null || Fail "apt-get remove"
trap - EXIT
left=()
for path in "${own[@]}"; do
    [ ! -e "$path" ] || left+=("$path")
done
[ ${#left[@]} -eq 0 ] || Fail "left after apt-get remove: ${left[*]}"
if dpkg-query -W -f='${Status}' bumpdemo 2>/dev/null | grep -q "installed\|config-files"; then
    Fail "dpkg still knows bumpdemo: $(dpkg-query -W -f='${Status}' bumpdemo)"
fi
echo "removed: nothing of the package left"
