#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted as .clang-format says.
# Versions of clang-format format differently: the check runs with the one
# the project is formatted with (14, Debian 12's), and skips with a note
# (exit status 77) where it is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
formatter=""
for candidate in clang-format-14 clang-format; do
    if command -v "$candidate" >/dev/null && "$candidate" --version | grep -q "version 14\."; then
        formatter=$candidate
        break
    fi
done
if [ -z "$formatter" ]; then
    echo "clang-format 14 not found: the format check is skipped"
    exit 77
fi
cd "$root"
if [ -d .git ] || git rev-parse --git-dir >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests bench fuzz data -name '*.cpp' -o -name '*.h')
fi
if ! "$formatter" --dry-run --Werror "${files[@]}"; then
    echo "Not formatted. To format: $formatter -i \$(git ls-files '*.cpp' '*.h')" >&2
    exit 1
fi
echo "${#files[@]} files formatted"
