#!/usr/bin/env bash
# Builds Scrivlet and starts it; arguments go to the program (a file to open).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SCRIVLET_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" --target scrivlet
exec "$build/scrivlet" "$@"
