#!/usr/bin/env bash
# Builds the web page (preset web; its icons come from the linux preset's bumpframe) and
# serves it on 127.0.0.1, compressed as a server should; prints the address to open.
# Usage: tools/run-web.sh [PORT]   (default 8014)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
RequirePackages "${WebPackages[@]}"
UseEmscriptenCache
cmake --preset linux >/dev/null
cmake --build build/linux --target bumpframe -j"$(nproc)"
cmake --preset web >/dev/null
cmake --build build/web --target page_compressed -j"$(nproc)"
port=${1:-8014}
echo "Open http://127.0.0.1:$port/index.html  (Ctrl-C stops the server)"
exec python3 tools/serve-web.py build/web/driver "$port"
