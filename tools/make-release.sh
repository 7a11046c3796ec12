#!/usr/bin/env bash
# Builds the release of the checked-out commit and writes its archives with their
# checksums into build/release (or the folder given):
#   bumpdemo-win32.zip         the Windows program (32-bit) and its read-me
#   bumpdemo_VERSION_ARCH.deb  the Linux program as a Debian package, for amd64 and (cross-
#                              built) arm64
#   bumpdemo-web.tar.gz        the web page's files and a read-me on serving them
#   SHA256SUMS                 sha256sum's list of the four
# Every file carries the release's time (SOURCE_DATE_EPOCH, else the commit's), as
# tools/release/ writes it, so two builds of one commit give the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
RequirePackages "${ReleasePackages[@]}"
UseEmscriptenCache
output=${1:-build/release}

SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "make-release.sh: the work tree has changes that are not committed: the archives" \
         "are not those of commit $(git rev-parse --short HEAD)" >&2
fi

archives=()
for preset in win32 linux linux-arm64 web; do
    echo "=== release $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build "build/$preset" -j"$(nproc)" --target release
    archives+=("$(sed -n 's/^ReleaseArchive:INTERNAL=//p' "build/$preset/CMakeCache.txt")")
done

mkdir -p "$output"
rm -f "$output"/bumpdemo* "$output/SHA256SUMS"
cp "${archives[@]}" "$output/"
(cd "$output" && sha256sum -- $(printf '%s\n' "${archives[@]##*/}" | sort) >SHA256SUMS)
echo "=== $output (commit $(git rev-parse --short HEAD))"
cat "$output/SHA256SUMS"
