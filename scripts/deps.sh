#!/usr/bin/env bash
# Makes sure the Debian packages that building and testing Scrivlet need are
# installed. As root it installs the missing ones; otherwise it prints the
# apt-get line to run and fails.
set -euo pipefail

# xvfb and openbox: the virtual X display with a window manager that the
# tests needing a real X server run on; libxcb1-dev lets those tests speak to
# the window manager. clang-format checks that the code keeps its format.
# cups, printer-driver-cups-pdf and poppler-utils are needed by the tests
# only: the printing tests print through a CUPS-PDF queue of their own and
# read the PDF files back with pdftotext. desktop-file-utils and appstream are
# needed by the tests only: they validate the menu entry and the metainfo;
# so is qt6-base-private-dev, through which the accessibility test listens
# as an assistive technology would.
packages=(build-essential cmake qt6-base-dev libgl-dev libbenchmark-dev
          fonts-dejavu-core fonts-dejavu-extra xvfb openbox libxcb1-dev clang-format
          cups printer-driver-cups-pdf poppler-utils desktop-file-utils appstream qt6-base-private-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run: sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
