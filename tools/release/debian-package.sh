#!/usr/bin/env bash
# Writes the Debian package of the Linux program: bumpdemo and bumpframe in /usr/bin
# (stripped), their manual pages, and the read-me in /usr/share/doc/bumpdemo. Its
# dependencies are computed from the programs (dpkg-shlibdeps); every file carries the
# release's time (SOURCE_DATE_EPOCH, else the commit's), owner root, so that the same
# programs give the same package. For programs of another architecture, DEB_HOST_ARCH
# names it (dpkg-shlibdeps then reads the libraries of that architecture) and STRIP its
# strip.
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

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/debian/bumpdemo
mkdir -p "$root/DEBIAN" "$root/usr/bin" "$root/usr/share/doc/bumpdemo" \
         "$root/usr/share/man/man1" "$root/usr/share/man/man6"
"$strip" --strip-unneeded -o "$root/usr/bin/bumpdemo" "$bumpdemo"
"$strip" --strip-unneeded -o "$root/usr/bin/bumpframe" "$bumpframe"
cp "$here/README-Linux.txt" "$root/usr/share/doc/bumpdemo/README"
gzip -9n <"$here/bumpdemo.6" >"$root/usr/share/man/man6/bumpdemo.6.gz"
gzip -9n <"$here/bumpframe.1" >"$root/usr/share/man/man1/bumpframe.1.gz"

# dpkg-shlibdeps reads the source package's control file; a minimal one does.

printf 'Source: bumpdemo\n\nPackage: bumpdemo\nArchitecture: any\n' >"$stage/debian/control"
depends=$(cd "$stage" && dpkg-shlibdeps -O -e debian/bumpdemo/usr/bin/bumpdemo -e debian/bumpdemo/usr/bin/bumpframe |
          sed -n 's/^shlibs:Depends=//p')

cat >"$root/DEBIAN/control" <<CONTROL
Package: bumpdemo
Version: $version
Architecture: $architecture
Maintainer: The bumpdemo developers <bumpdemo@invalid>
Installed-Size: $(du -sk --apparent-size "$root/usr" | cut -f1)
Depends: $depends
Section: games
Priority: optional
Description: real-time bump-mapping demo
 A round light spot travels a figure-eight over a colour picture whose relief
 comes from a separate height field, so the bumps catch the light as it passes.
 The demo asks whether to run full screen, shows a 320 x 200 picture (in a
 window, or enlarged to fill the screen) and, when a key is pressed in its
 terminal, prints the frame rate it achieved. bumpframe writes one frame of the
 animation as a PPM picture.
CONTROL

find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root/usr/bin/bumpdemo" "$root/usr/bin/bumpframe"
find "$root" -exec touch -h -d "@$epoch" {} +
SOURCE_DATE_EPOCH=$epoch dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "Wrote $deb (Depends: $depends)"
