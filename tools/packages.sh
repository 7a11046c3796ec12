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
# The release archives: the three builds, and dpkg-dev for the Debian package's dependencies.
ReleasePackages=("${DemoPackages[@]}" g++-mingw-w64-i686 binutils-mingw-w64-i686 emscripten
                 nodejs dpkg-dev brotli)
TestPackages=("${DemoPackages[@]}" googletest libgtest-dev libgmock-dev libbenchmark-dev
              libpixman-1-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
              binutils-mingw-w64-x86-64 file wine64 xvfb xdotool x11-utils imagemagick python3
              openbox dpkg-dev
              # a Wayland compositor, shown in a window of the test's X server
              weston
              # shells on a terminal, for the program stopped and continued as a job
              tmux dash
              # 32-bit Wine for the release, with the GL it needs for video memory (where
              # the kernel runs no 32-bit programs, the Wine tests fetch their emulator)
              wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
              # the page in three browsers (Firefox through npm's puppeteer-core, WebKitGTK's
              # MiniBrowser through WebKitWebDriver); node runs the page's memcpy test
              emscripten nodejs chromium chromium-driver python3-selenium firefox-esr
              webkit2gtk-driver brotli)
# npm, where the installed nodejs does not bring its own (Debian's does not; a Node.js
# package that does conflicts with Debian's npm).
command -v npm >/dev/null || TestPackages+=(npm)
