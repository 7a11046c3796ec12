#!/usr/bin/env bash
# Builds the Linux program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
RequirePackages "${DemoPackages[@]}"
cmake --preset linux >/dev/null
cmake --build build/linux --target bumpdemo -j"$(nproc)"
exec build/linux/driver/bumpdemo
