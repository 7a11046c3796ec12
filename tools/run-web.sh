#!/usr/bin/env bash
# Builds the web page (preset web) and serves it on 127.0.0.1; prints the address to open.
# Usage: tools/run-web.sh [PORT]   (default 8014)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
RequirePackages "${WebPackages[@]}"
UseEmscriptenCache
cmake --preset web >/dev/null
cmake --build build/web --target bumpdemo -j"$(nproc)"
port=${1:-8014}
echo "Open http://127.0.0.1:$port/index.html  (Ctrl-C stops the server)"
exec python3 -m http.server --bind 127.0.0.1 --directory build/web/driver "$port"
