# Sourced by the set-up scripts: makes sure the Debian packages they need are installed.
# As root it installs what is missing; otherwise it prints the one apt-get line to run.

RequirePackages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    # Packages of another architecture (wine32:i386) need it added to dpkg first.
    local architectures architecture
    architectures=$(printf '%s\n' "${missing[@]}" | sed -n 's/.*:\(.*\)/\1/p' | sort -u)
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages. Install them with:" >&2
        for architecture in $architectures; do
            echo "  sudo dpkg --add-architecture $architecture" >&2
        done
        echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    for architecture in $architectures; do
        dpkg --add-architecture "$architecture"
    done
    echo "Installing ${missing[*]}" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# Emscripten builds its system libraries into its cache on first use: in its own folder
# when that is writable, else in the user's cache folder.
UseEmscriptenCache() {
    if [ -z "${EM_CACHE:-}" ] && [ ! -w /usr/share/emscripten/cache ]; then
        export EM_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/emscripten"
    fi
}

# libdecor's plugin draws the window's title bar on Wayland (a recommendation of libdecor's,
# which --no-install-recommends leaves out; without it libdecor complains on standard error).
DemoPackages=(cmake make g++ libsdl2-dev libx11-dev xfonts-base libdecor-0-plugin-1-cairo)
# The page's icons come from the native bumpframe; brotli compresses the page's files.
WebPackages=("${DemoPackages[@]}" emscripten python3 brotli)
# 64-bit ARM, cross-built: Debian's cross compiler and the :arm64 libraries it links (and
# libdecor's plugin, which the arm64 program loads on Wayland).
Arm64Packages=(crossbuild-essential-arm64 libsdl2-dev:arm64 libx11-dev:arm64 libgtest-dev:arm64
               libgmock-dev:arm64 libbenchmark-dev:arm64 libpixman-1-dev:arm64
               libdecor-0-plugin-1-cairo:arm64)
# The release archives: the four builds, dpkg-dev for the Debian packages' dependencies,
# brotli for the page's compressed copies, and qemu-user to render the arm64 package's icon.
ReleasePackages=("${DemoPackages[@]}" g++-mingw-w64-i686 binutils-mingw-w64-i686 emscripten
                 nodejs dpkg-dev brotli "${Arm64Packages[@]}" qemu-user)
# The linux preset's tests (in the Debian 13 system too).
LinuxTestPackages=("${DemoPackages[@]}" googletest libgtest-dev libgmock-dev libbenchmark-dev
                   libpixman-1-dev file xvfb xdotool x11-utils imagemagick python3 openbox
                   dpkg-dev
                   # the Debian package's checks: Debian's own, and the menu entry's and
                   # metadata's
                   lintian desktop-file-utils appstream
                   # a Wayland compositor, shown in a window of the test's X server
                   weston
                   # shells on a terminal, for the program stopped and continued as a job
                   tmux dash)
# The web preset's tests: the page in three browsers (Firefox through npm's puppeteer-core,
# WebKitGTK's MiniBrowser through WebKitWebDriver); node runs the page's memcpy test.
WebTestPackages=(emscripten nodejs chromium chromium-driver python3-selenium firefox-esr
                 webkit2gtk-driver brotli)
# The 64-bit Windows program's tests: its cross compiler and 64-bit Wine.
Win64TestPackages=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64)
TestPackages=("${LinuxTestPackages[@]}" "${WebTestPackages[@]}" "${Win64TestPackages[@]}"
              g++-mingw-w64-i686 binutils-mingw-w64-i686
              # 32-bit Wine for the release, with the GL it needs for video memory (where
              # the kernel runs no 32-bit programs, the Wine tests fetch their emulator)
              wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
              # the arm64 build, its programs run under qemu-user
              "${Arm64Packages[@]}" qemu-user)
# npm, where the installed nodejs does not bring its own (Debian's does not; a Node.js
# package that does conflicts with Debian's npm).
command -v npm >/dev/null || TestPackages+=(npm)
