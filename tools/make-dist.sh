#!/usr/bin/env bash
# Writes the release archives OUTDIR/Tintlet-VERSION-win32.zip and -win64.zip, each with its
# Tintlet.dll, INSTALL.txt (with the CRLF line ends Windows' editors expect) and SHA256SUMS, in
# that order, and OUTDIR/SHA256SUMS for the two archives, so a download can be checked before it
# is opened. The archives are the same bytes for the same inputs: every entry has the same time
# (SOURCE_DATE_EPOCH, else the time of the last commit), the same permissions and no owner,
# whoever packs it, in any time zone.
# Usage: make-dist.sh INSTALL_TXT VERSION OUTDIR WIN32_MODULE WIN64_MODULE
set -euo pipefail
if [ $# -ne 5 ]; then
    echo "usage: $0 INSTALL_TXT VERSION OUTDIR WIN32_MODULE WIN64_MODULE" >&2
    exit 2
fi
guide=$1
version=$2
outdir=$3

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    epoch=$SOURCE_DATE_EPOCH
elif ! epoch=$(git -C "$(dirname "$0")" log -1 --format=%ct 2>/dev/null); then
    epoch=946684800 # not a checkout: 2000-01-01
fi

mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)
stage=$(mktemp -d "$outdir/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# pack ARCHITECTURE MODULE: one archive, its path on standard output.
pack() {
    local archive="$outdir/Tintlet-$version-$1.zip" files="$stage/$1"
    mkdir "$files"
    cp "$2" "$files/Tintlet.dll"
    sed 's/\r$//; s/$/\r/' "$guide" >"$files/INSTALL.txt"
    (cd "$files" && sha256sum Tintlet.dll INSTALL.txt >SHA256SUMS)
    chmod 644 "$files"/*
    touch -d "@$epoch" "$files"/*
    rm -f "$archive"
    # -X: no owner or extra time fields; -D: no folder entries. zip's own settings from the
    # environment would change the bytes, so they are dropped.
    (cd "$files" && env -u ZIPOPT -u ZIP TZ=UTC zip -X -D -q -9 "$archive" \
        Tintlet.dll INSTALL.txt SHA256SUMS)
    echo "$archive"
}

pack win32 "$4"
pack win64 "$5"
(cd "$outdir" && sha256sum "Tintlet-$version-win32.zip" "Tintlet-$version-win64.zip" >SHA256SUMS)
echo "$outdir/SHA256SUMS"
