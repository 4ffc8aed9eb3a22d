#!/usr/bin/env bash
# Reads the version resource back out of Tintlet.dll and compares it with the project's version:
# the numbers and the texts Windows' file properties and a host's plug-in list show.
# Usage: check_version.sh WINDRES MODULE VERSION (major.minor.patch)
set -euo pipefail
windres=$1
module=$2
version=$3

if ! resource=$("$windres" -i "$module" -O rc 2>&1); then
    echo "FAIL: no resources can be read from $module: $resource"
    exit 1
fi
echo "$resource"

status=0
expect() {
    grep -qF -- "$1" <<<"$resource" || { echo "FAIL: the version resource lacks: $1"; status=1; }
}
numbers="${version//./, }, 0"
expect "VERSIONINFO"
expect "FILEVERSION $numbers"
expect "PRODUCTVERSION $numbers"
expect "FILETYPE 0x2"
expect "VALUE \"FileVersion\", \"$version\""
expect "VALUE \"ProductVersion\", \"$version\""
expect "VALUE \"ProductName\", \"Tintlet\""
expect "VALUE \"InternalName\", \"Tintlet\""
expect "VALUE \"OriginalFilename\", \"Tintlet.dll\""
expect "VALUE \"FileDescription\", \"Tintlet"
exit $status
