#!/usr/bin/env bash
# Unpacks the release archive and checks what users get: one folder holding bumpdemo.exe,
# byte for byte the program the tests run, and the plain-text README.txt; nothing else.
#   archive-check.sh ARCHIVE_ZIP UNPACK_DIR BUMPDEMO_EXE
# UNPACK_DIR receives bumpdemo.exe for the end-to-end case run on it.
set -uo pipefail

archive=$1 unpack=$2 built=$3

Fail() {
    echo "FAILED: $*"
    exit 1
}

[ -f "$archive" ] || Fail "no $archive: build it first (cmake --build build/win32 --target release)"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
python3 -m zipfile -e "$archive" "$scratch" || Fail "cannot unpack $archive"

folder=$(basename "$archive" .zip)
listing=$(cd "$scratch" && find . -type f | sort)
expected=$(printf './%s/README.txt\n./%s/bumpdemo.exe' "$folder" "$folder")
[ "$listing" = "$expected" ] || Fail "the archive holds: $listing"
cmp -s "$scratch/$folder/bumpdemo.exe" "$built" || Fail "the archive's bumpdemo.exe is not $built"
readme=$scratch/$folder/README.txt
file "$readme" | grep -q 'ASCII text' || Fail "README.txt is not plain text: $(file "$readme")"
for needed in 'bumpdemo.exe' 'Fullscreen?' 'Cancel' 'Escape' 'BENCHMARK:'; do
    grep -qF "$needed" "$readme" || Fail "README.txt does not mention $needed"
done

rm -rf "$unpack"
mkdir -p "$unpack" || Fail "cannot make $unpack"
cp "$scratch/$folder/bumpdemo.exe" "$unpack/" || Fail "cannot fill $unpack"
echo "archive $(basename "$archive"): $(cd "$scratch" && find . -type f | sort | tr '\n' ' ')"
