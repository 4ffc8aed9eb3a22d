#!/usr/bin/env bash
# Writes the release archive OUTDIR/Tintlet-VERSION-win32.zip: Tintlet.dll, INSTALL.txt (with the
# CRLF line ends Windows' editors expect) and SHA256SUMS, in that order. The archive is the same
# bytes for the same inputs: every entry has the same time (SOURCE_DATE_EPOCH, else the time of
# the last commit), the same permissions and no owner, whoever packs it, in any time zone.
# Usage: make-dist.sh MODULE INSTALL_TXT VERSION OUTDIR
set -euo pipefail
if [ $# -ne 4 ]; then
    echo "usage: $0 MODULE INSTALL_TXT VERSION OUTDIR" >&2
    exit 2
fi
module=$1
guide=$2
version=$3
outdir=$4

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    epoch=$SOURCE_DATE_EPOCH
elif ! epoch=$(git -C "$(dirname "$0")" log -1 --format=%ct 2>/dev/null); then
    epoch=946684800 # not a checkout: 2000-01-01
fi

mkdir -p "$outdir"
archive="$(cd "$outdir" && pwd)/Tintlet-$version-win32.zip"
stage=$(mktemp -d "$outdir/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

cp "$module" "$stage/Tintlet.dll"
sed 's/\r$//; s/$/\r/' "$guide" >"$stage/INSTALL.txt"
(cd "$stage" && sha256sum Tintlet.dll INSTALL.txt >SHA256SUMS)
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*

rm -f "$archive"
# -X: no owner or extra time fields; -D: no folder entries. zip's own settings from the
# environment would change the bytes, so they are dropped.
(cd "$stage" && env -u ZIPOPT -u ZIP TZ=UTC zip -X -D -q -9 "$archive" \
    Tintlet.dll INSTALL.txt SHA256SUMS)
echo "$archive"
