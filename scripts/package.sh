#!/usr/bin/env bash
# Builds Scrivlet in Release, without tests and benchmarks, into
# build-package/ (or $SCRIVLET_BUILD_DIR) and makes its Debian package there
# with CPack. Install it with: sudo apt-get install ./build-package/scrivlet_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SCRIVLET_BUILD_DIR:-$root/build-package}
"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DSCRIVLET_BUILD_TESTS=OFF -DSCRIVLET_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"
cd "$build"
cpack -G DEB
