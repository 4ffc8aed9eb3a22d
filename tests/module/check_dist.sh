#!/usr/bin/env bash
# The release archive: packed twice, the second time from copies with other file times and
# permissions, in another time zone and under another umask, it must be the same bytes. Its
# entries have the time SOURCE_DATE_EPOCH gives and nothing of the packer (no owner, no extra
# time fields). It holds Tintlet.dll (the built one), INSTALL.txt (plain ASCII, every line
# ending CRLF) and SHA256SUMS, in that order, and the sums match.
# Usage: check_dist.sh MAKE_DIST MODULE INSTALL_TXT VERSION WORK
set -euo pipefail
make_dist=$1
module=$(realpath "$2")
guide=$3
version=$4
work=$5

rm -rf "$work"
mkdir -p "$work/inputs"
cp "$module" "$work/inputs/Tintlet.dll"
cp "$guide" "$work/inputs/INSTALL.txt"
chmod 600 "$work/inputs"/*
touch -d '2001-02-03 04:05:06' "$work/inputs"/*

export SOURCE_DATE_EPOCH=1000000000 # 2001-09-09 01:46:40 UTC
first=$(bash "$make_dist" "$module" "$guide" "$version" "$work/first")
second=$(umask 077 && TZ=Pacific/Kiritimati bash "$make_dist" "$work/inputs/Tintlet.dll" \
    "$work/inputs/INSTALL.txt" "$version" "$work/second")

status=0
fail() { echo "FAIL: $*"; status=1; }

[ "$(basename "$first")" = "Tintlet-$version-win32.zip" ] || fail "the archive is named $first"
cmp "$first" "$second" || fail "packing the same files twice gave different archives"

entries=$(unzip -Z1 "$first" | tr '\n' ' ')
[ "$entries" = "Tintlet.dll INSTALL.txt SHA256SUMS " ] || fail "the archive holds: $entries"
times=$(unzip -ZT "$first" | awk '$1 ~ /^-/ {print $7}' | sort -u | tr '\n' ' ')
[ "$times" = "20010909.014640 " ] || fail "entry times are $times, not SOURCE_DATE_EPOCH's"
extras=$(unzip -Zv "$first" | grep -c 'length of extra field: *[1-9]' || true)
[ "$extras" = 0 ] || fail "$extras entries carry extra fields (owner or times of the packer)"

unzip -q "$first" -d "$work/unpacked"
cd "$work/unpacked"
sha256sum --check --quiet SHA256SUMS || fail "SHA256SUMS does not match the files"
cmp -s Tintlet.dll "$module" || fail "Tintlet.dll in the archive is not the built one"
lines=$(wc -l <INSTALL.txt)
crlf_lines=$(grep -c $'\r$' INSTALL.txt || true)
[ "$lines" -gt 0 ] && [ "$lines" = "$crlf_lines" ] ||
    fail "INSTALL.txt: $crlf_lines of $lines lines end in CRLF"
! LC_ALL=C grep -qP '[^\x00-\x7F]' INSTALL.txt || fail "INSTALL.txt is not plain ASCII"

echo "$first: $(stat -c %s "$first") bytes, $entries"
exit $status
