#!/usr/bin/env bash
# Writes the Debian package of the Linux program: bumpdemo and bumpframe in /usr/bin
# (stripped), their manual pages, the read-me, copyright and changelog in
# /usr/share/doc/bumpdemo, and the menu entry with its icons (made from a frame that
# bumpframe renders) and AppStream metadata. Its dependencies are computed from the
# programs (dpkg-shlibdeps); every file carries the release's time (SOURCE_DATE_EPOCH,
# else the commit's), owner root, so that the same programs give the same package. For
# programs of another architecture, DEB_HOST_ARCH names it (dpkg-shlibdeps then reads the
# libraries of that architecture), STRIP its strip and EMULATOR what runs its bumpframe.
#   debian-package.sh DEB VERSION BUMPDEMO BUMPFRAME
set -euo pipefail
architecture=${DEB_HOST_ARCH:-$(dpkg --print-architecture)}
export DEB_HOST_ARCH=$architecture
strip=${STRIP:-strip}

deb=$1
version=$2
bumpdemo=$3
bumpframe=$4
here=$(cd "$(dirname "$0")" && pwd)
epoch=$(python3 "$here/archive.py" time)
maintainer="The bumpdemo developers <developers@bumpdemo.example>"
metainfo=example.bumpdemo.bumpdemo.metainfo.xml
# The icon: the middle square of the frame of this time.
iconFrame=33

# The changelog's latest entry names the version being packaged.
if ! head -n 1 "$here/changelog" | grep -qF "bumpdemo ($version) "; then
    echo "debian-package.sh: $here/changelog does not begin with version $version" >&2
    exit 1
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/debian/bumpdemo
share=$root/usr/share
mkdir -p "$root/DEBIAN" "$root/usr/bin" "$share/doc/bumpdemo" "$share/man/man1" \
         "$share/applications" "$share/metainfo"
# Stripped as Debian's own packages are (dh_strip): also without the compiler's comment.
for program in "$bumpdemo" "$bumpframe"; do
    "$strip" --strip-unneeded --remove-section=.comment --remove-section=.note \
          -o "$root/usr/bin/$(basename "$program")" "$program"
done
cp "$here/README-Linux.txt" "$share/doc/bumpdemo/README"
cp "$here/copyright" "$share/doc/bumpdemo/copyright"
gzip -9n <"$here/changelog" >"$share/doc/bumpdemo/changelog.gz"
gzip -9n <"$here/bumpdemo.1" >"$share/man/man1/bumpdemo.1.gz"
gzip -9n <"$here/bumpframe.1" >"$share/man/man1/bumpframe.1.gz"
cp "$here/bumpdemo.desktop" "$share/applications/bumpdemo.desktop"
cp "$here/$metainfo" "$share/metainfo/$metainfo"
${EMULATOR:-} "$bumpframe" "$iconFrame" "$stage/icon.ppm"
for size in 48 128 256; do
    icons=$share/icons/hicolor/${size}x$size/apps
    mkdir -p "$icons"
    python3 "$here/icon.py" "$stage/icon.ppm" "$size" "$icons/bumpdemo.png"
done

# dpkg-shlibdeps reads the source package's control file; a minimal one does.

printf 'Source: bumpdemo\n\nPackage: bumpdemo\nArchitecture: any\n' >"$stage/debian/control"
depends=$(cd "$stage" && dpkg-shlibdeps -O -e debian/bumpdemo/usr/bin/bumpdemo -e debian/bumpdemo/usr/bin/bumpframe |
          sed -n 's/^shlibs:Depends=//p')

cat >"$root/DEBIAN/control" <<CONTROL
Package: bumpdemo
Version: $version
Architecture: $architecture
Maintainer: $maintainer
Installed-Size: $(du -sk --apparent-size "$root/usr" | cut -f1)
Depends: $depends
Recommends: libdecor-0-plugin-1-cairo | libdecor-0-plugin-1
Section: graphics
Priority: optional
Description: real-time bump-mapping demo
 A round light spot travels a figure-eight over a colour picture whose relief
 comes from a separate height field, so the bumps catch the light as it passes.
 The demo asks whether to run full screen, shows a 320 x 200 picture (in a
 window, or enlarged to fill the screen) and, when a key is pressed in its
 terminal, prints the frame rate it achieved. bumpframe writes one frame of the
 animation as a PPM picture.
CONTROL

(cd "$root" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$root/DEBIAN/md5sums"
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root/usr/bin/bumpdemo" "$root/usr/bin/bumpframe"
find "$root" -exec touch -h -d "@$epoch" {} +
SOURCE_DATE_EPOCH=$epoch dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "Wrote $deb (Depends: $depends)"
