#!/usr/bin/env bash
# Configures and builds Scrivlet into build/ (or $SCRIVLET_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SCRIVLET_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh"
# In CI (CI set) a compiler warning fails the build; SCRIVLET_SANITIZE=ON
# builds with AddressSanitizer and UndefinedBehaviorSanitizer.
warnings_as_errors=OFF
[ -n "${CI:-}" ] && warnings_as_errors=ON
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=${SCRIVLET_BUILD_TYPE:-RelWithDebInfo} \
    -DSCRIVLET_WARNINGS_AS_ERRORS=$warnings_as_errors -DSCRIVLET_SANITIZE=${SCRIVLET_SANITIZE:-OFF} >/dev/null
cmake --build "$build" --parallel "$(nproc)" "$@"
