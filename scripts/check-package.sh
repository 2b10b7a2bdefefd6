#!/usr/bin/env bash
# Packages a built tree with CPack into a scratch folder, unpacks the Debian
# package into a scratch root (dpkg -x) and checks what it holds: the program,
# the menu entry, the icons at their sizes, the metainfo and the manual page,
# and dependencies that name runtime packages, never -dev ones. Skipped (exit
# status 77) where the Debian tools are missing.
# Usage: check-package.sh BUILD-FOLDER APP-ID
set -euo pipefail
build=$1
id=$2
for tool in cpack dpkg-deb; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool not found: the Debian package is not checked"
        exit 77
    fi
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "no single .deb in ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
dpkg-deb -x "$deb" "$scratch/root"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

root=$scratch/root/usr
[ -x "$root/bin/scrivlet" ] || fail "no program usr/bin/scrivlet"
for file in share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg share/man/man1/scrivlet.1.gz; do
    [ -s "$root/$file" ] || fail "missing usr/$file"
done
# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 16 32 48 256; do
    png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
    if [ ! -s "$png" ]; then
        fail "missing ${png#"$scratch/root/"}"
        continue
    fi
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "$width $height" = "$size $size" ] || fail "$size px icon is ${width}x$height"
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[ -n "$depends" ] || fail "the package depends on nothing"
if grep -Eq -- '-dev([ ,(]|$)' <<<"$depends"; then
    fail "a -dev package among the dependencies"
fi
# The packages named in Depends, one a line, without versions.
listed=$(sed 's/([^)]*)//g; s/|/,/g' <<<"$depends" | tr ',' '\n' | awk 'NF { print $1 }')
# Every shared library the program links comes from a package it depends on.
# (ldconfig is in /sbin, which a user's PATH may leave out.)
ldconfig=$(command -v ldconfig || echo /sbin/ldconfig)
if command -v objdump >/dev/null; then
    while read -r library; do
        # awk reads to the end: an early exit would fail ldconfig with SIGPIPE.
        path=$("$ldconfig" -p | awk -v lib="$library" '$1 == lib && !found { print $NF; found = 1 }')
        [ -n "$path" ] || { fail "$library not found on this machine"; continue; }
        package=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null | head -n1 | cut -d: -f1) || true
        [ -n "$package" ] || package=$(dpkg -S "$path" 2>/dev/null | head -n1 | cut -d: -f1) || true
        [ -n "$package" ] || { fail "no package holds $library"; continue; }
        grep -qxF "$package" <<<"$listed" || fail "$library ($package) not in Depends"
    done < <(objdump -p "$root/bin/scrivlet" | awk '$1 == "NEEDED" { print $2 }')
fi

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$deb"): all files in place"
