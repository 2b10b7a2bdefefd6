#!/usr/bin/env bash
# Runs the freedesktop validators on the menu entry (desktop-file-validate)
# and on the AppStream metainfo (appstreamcli). Where either is missing the
# check is skipped with a note (exit status 77); scripts/deps.sh installs them.
# Usage: validate-desktop-files.sh DESKTOP-FILE METAINFO-FILE
set -euo pipefail
desktop=$1
metainfo=$2
for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool not found: the desktop files are not validated"
        exit 77
    fi
done
# desktop-file-validate prints what it finds wrong and fails on errors;
# warnings count as failures too.
if ! report=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$report" ]; then
    printf '%s\n' "$report" >&2
    exit 1
fi
# Offline: the check must not depend on the network.
appstreamcli validate --no-net "$metainfo"
