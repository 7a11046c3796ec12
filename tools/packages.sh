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
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages. Install them with:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
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

DemoPackages=(cmake make g++ libsdl2-dev xfonts-base)
WebPackages=(cmake make emscripten python3)
TestPackages=("${DemoPackages[@]}" googletest libgtest-dev libgmock-dev libbenchmark-dev
              libpixman-1-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
              binutils-mingw-w64-x86-64 file wine64 xvfb xdotool x11-utils imagemagick python3
              emscripten chromium chromium-driver python3-selenium)
