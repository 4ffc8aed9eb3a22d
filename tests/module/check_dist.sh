#!/usr/bin/env bash
# The release archives: packed twice, the second time from copies with other file times and
# permissions, in another time zone and under another umask, they must be the same bytes. Their
# entries have the time SOURCE_DATE_EPOCH gives and nothing of the packer (no owner, no extra
# time fields). Each holds its Tintlet.dll (the built one, for the archive's Windows: a 32-bit
# module in win32, an x86-64 one in win64), INSTALL.txt (plain ASCII, every line ending CRLF) and
# SHA256SUMS, in that order, and the sums match; SHA256SUMS beside them holds the two archives'.
# Usage: check_dist.sh MAKE_DIST INSTALL_TXT VERSION WORK WIN32_MODULE WIN64_MODULE
set -euo pipefail
make_dist=$1
guide=$2
version=$3
work=$4
declare -A module=([win32]=$(realpath "$5") [win64]=$(realpath "$6"))
declare -A machine=([win32]=14c [win64]=8664) # as pe_machine gives it
source "$(dirname "$0")/../../tools/i386-programs.sh"

rm -rf "$work"
mkdir -p "$work/inputs"
cp "${module[win32]}" "$work/inputs/Tintlet32.dll"
cp "${module[win64]}" "$work/inputs/Tintlet64.dll"
cp "$guide" "$work/inputs/INSTALL.txt"
chmod 600 "$work/inputs"/*
touch -d '2001-02-03 04:05:06' "$work/inputs"/*

export SOURCE_DATE_EPOCH=1000000000 # 2001-09-09 01:46:40 UTC
bash "$make_dist" "$guide" "$version" "$work/first" "${module[win32]}" "${module[win64]}" \
    >"$work/first.out"
(umask 077 && TZ=Pacific/Kiritimati bash "$make_dist" "$work/inputs/INSTALL.txt" "$version" \
    "$work/second" "$work/inputs/Tintlet32.dll" "$work/inputs/Tintlet64.dll" >/dev/null)

status=0
fail() { echo "FAIL: $*"; status=1; }

archives="Tintlet-$version-win32.zip Tintlet-$version-win64.zip"
written=$(xargs -n 1 basename <"$work/first.out" | tr '\n' ' ')
[ "$written" = "$archives SHA256SUMS " ] || fail "make-dist.sh wrote: $written"
for name in $archives SHA256SUMS; do
    cmp "$work/first/$name" "$work/second/$name" || fail "packing the same files twice gave another $name"
done
sums=$(cd "$work/first" && sha256sum --check SHA256SUMS 2>&1) || fail "SHA256SUMS: $sums"
listed=$(awk '{print $2}' "$work/first/SHA256SUMS" | tr '\n' ' ')
[ "$listed" = "$archives " ] || fail "SHA256SUMS lists: $listed"

for arch in win32 win64; do
    archive="$work/first/Tintlet-$version-$arch.zip"
    entries=$(unzip -Z1 "$archive" | tr '\n' ' ')
    [ "$entries" = "Tintlet.dll INSTALL.txt SHA256SUMS " ] || fail "$arch: the archive holds: $entries"
    times=$(unzip -ZT "$archive" | awk '$1 ~ /^-/ {print $7}' | sort -u | tr '\n' ' ')
    [ "$times" = "20010909.014640 " ] || fail "$arch: entry times are $times, not SOURCE_DATE_EPOCH's"
    extras=$(unzip -Zv "$archive" | grep -c 'length of extra field: *[1-9]' || true)
    [ "$extras" = 0 ] || fail "$arch: $extras entries carry extra fields (owner or times of the packer)"

    unpacked="$work/unpacked-$arch"
    unzip -q "$archive" -d "$unpacked"
    (cd "$unpacked" && sha256sum --check --quiet SHA256SUMS) || fail "$arch: SHA256SUMS does not match the files"
    cmp -s "$unpacked/Tintlet.dll" "${module[$arch]}" || fail "$arch: Tintlet.dll is not the built one"
    found=$(pe_machine "$unpacked/Tintlet.dll")
    [ "$found" = "${machine[$arch]}" ] || fail "$arch: Tintlet.dll is built for machine 0x$found"
    lines=$(wc -l <"$unpacked/INSTALL.txt")
    crlf_lines=$(grep -c $'\r$' "$unpacked/INSTALL.txt" || true)
    [ "$lines" -gt 0 ] && [ "$lines" = "$crlf_lines" ] ||
        fail "$arch: INSTALL.txt: $crlf_lines of $lines lines end in CRLF"
    ! LC_ALL=C grep -qP '[^\x00-\x7F]' "$unpacked/INSTALL.txt" || fail "$arch: INSTALL.txt is not plain ASCII"
    echo "$archive: $(stat -c %s "$archive") bytes, $entries"
done
exit $status
