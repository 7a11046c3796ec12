#!/usr/bin/env bash
# Builds and runs the linux, web and win64 presets' tests in a Debian 13 system made from
# Debian's archive, beside the machine's own release. The system is kept in the user's
# cache folder, named by a hash of its package list, and reused while that list is
# unchanged. Its mounts live in a mount namespace of their own and are taken down on the
# way out, failed or not.
#   tools/debian13.sh           make the system if needed, then test in it
#   tools/debian13.sh system    make the system if needed and print its folder
# The clone is seen there as /bumpdemo, with build/debian13 as its build folder, so that the
# builds of the two systems stay apart. The Debian package built here, on Debian 12, is
# installed there and run, as a person on Debian 13 would install the release's.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

Suite=trixie
Mirror=http://deb.debian.org/debian
Presets=(linux web win64)
# What those presets' tests need: npm is not among them, the page's Firefox cases take the
# puppeteer-core that this machine's web tests installed (the system has no network).
# The 32-bit release's tests need i386 packages, which the system leaves out.
Packages=("${LinuxTestPackages[@]}" "${WebTestPackages[@]}" "${Win64TestPackages[@]}")

# The system's folder: the suite and the package list decide it.
SystemFolder() {
    local hash
    hash=$({
        echo "$Suite $Mirror"
        printf '%s\n' "${Packages[@]}"
    } | sha256sum | cut -c1-12)
    echo "${XDG_CACHE_HOME:-$HOME/.cache}/bumpdemo/debian13-$hash"
}

# Makes the system in a folder beside its final one and renames it when complete, so that a
# run stopped half-way leaves nothing that a later run would take for a finished system.
MakeSystem() {
    local folder=$1 partial="$1.partial"
    mkdir -p "$(dirname "$folder")"
    # One maker at a time: a second test run waits for the first one's system.
    exec 8>"$folder.lock"
    flock 8
    [ -d "$folder" ] && return 0
    RequirePackages mmdebstrap
    # What a stopped maker left, never crossing into a file system still mounted there.
    rm -rf --one-file-system "$partial"
    echo "=== debian13: making a Debian 13 system in $folder (several minutes, once)" >&2
    mmdebstrap --variant=minbase --architectures=amd64 \
        --aptopt='APT::Install-Recommends "false"' \
        --include="$(IFS=,; echo "${Packages[*]}")" \
        "$Suite" "$partial" \
        "deb $Mirror $Suite main" "deb $Mirror $Suite-updates main" \
        "deb http://deb.debian.org/debian-security $Suite-security main" >&2
    # The names of the loopback addresses, which a minimal system lacks (Selenium asks for
    # localhost).
    printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' \
        >"$partial/etc/hosts"
    mv "$partial" "$folder"
}

# In the system: builds the presets and runs their tests, then the package's check on the
# package from Debian 12.
TestInside() {
    RequirePackages "${Packages[@]}"
    UseEmscriptenCache
    source tools/test-preset.sh
    local preset failed=() deb
    for preset in "${Presets[@]}"; do
        echo "=== debian13: build $preset"
        cmake --preset "$preset" >/dev/null
        cmake --build "build/$preset" -j"$(nproc)"
    done
    cmake --build build/linux --target release
    cmake --build build/web --target release
    for preset in "${Presets[@]}"; do
        TestPreset "$preset" debian13 || failed+=("$preset")
    done
    echo "=== debian13: the package built on Debian 12, installed and run"
    deb=$(echo build/debian12-package/*.deb)
    if PYTHONPATH="$PWD/tests" tests/release/package-check.sh "$deb" tests/screen/demo-cases.py \
        build/debian12-package/artefacts build/debian12-package/frames; then
        echo "debian13 package from Debian 12: passed"
    else
        echo "debian13 package from Debian 12: FAILED"
        failed+=(package)
    fi
    if [ ${#failed[@]} -gt 0 ]; then
        echo "=== debian13: FAILED: ${failed[*]}"
        return 1
    fi
}

# In a mount and network namespace of its own: mounts what the system needs, runs the tests
# in it, and takes the mounts down again. The namespace ends with this process, so nothing
# stays mounted even when it is killed; its own loopback network keeps its X servers and
# web servers apart from the machine's.
TestMounted() {
    local root=$1 clone=$PWD
    # shellcheck disable=SC2064 # the folder is put in now: the trap runs after the return
    trap "umount -R '$root/bumpdemo' '$root/tmp' '$root/dev' '$root/sys' '$root/proc' \
          2>/dev/null || true" EXIT
    ip link set lo up
    mkdir -p "$root/bumpdemo"
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount -t tmpfs tmpfs "$root/dev/shm"
    mount -t tmpfs tmpfs "$root/tmp"
    mount --bind "$clone" "$root/bumpdemo"
    mount --bind "$clone/build/debian13" "$root/bumpdemo/build"
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 bash -c 'cd /bumpdemo && tools/debian13.sh inside'
}

case "${1:-}" in
system)
    folder=$(SystemFolder)
    MakeSystem "$folder"
    echo "$folder"
    ;;
inside)
    TestInside
    ;;
mounted)
    TestMounted "$2"
    ;;
*)
    # As the 32-bit Wine tests do: not run, and said so, without failing the test command.
    if [ "$(id -u)" -ne 0 ]; then
        echo "=== NOTE: the Debian 13 tests were NOT run: making and entering its system needs root"
        exit 0
    fi
    started=$SECONDS
    folder=$(SystemFolder)
    MakeSystem "$folder"
    RequirePackages iproute2
    # The package of this machine's linux build (built when missing).
    deb=$(sed -n 's/^ReleaseArchive:INTERNAL=//p' build/linux/CMakeCache.txt 2>/dev/null || true)
    if [ ! -f "$deb" ]; then
        cmake --preset linux >/dev/null
        cmake --build build/linux -j"$(nproc)" --target release >/dev/null
        deb=$(sed -n 's/^ReleaseArchive:INTERNAL=//p' build/linux/CMakeCache.txt)
    fi
    rm -rf build/debian13/debian12-package
    mkdir -p build/debian13/debian12-package
    cp "$deb" build/debian13/debian12-package/
    if [ -d build/web/node ]; then
        mkdir -p build/debian13/web
        rm -rf build/debian13/web/node
        cp -a build/web/node build/debian13/web/node
    fi
    code=0
    unshare --mount --net --propagation private tools/debian13.sh mounted "$folder" || code=$?
    echo "=== debian13: $((SECONDS - started)) s in all"
    exit "$code"
    ;;
esac
