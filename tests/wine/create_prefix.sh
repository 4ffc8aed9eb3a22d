#!/usr/bin/env bash
# Creates the Wine prefix the end-to-end tests run in (WINEPREFIX, from the caller), once:
# a 32-bit prefix with the null graphics driver, as there is no display on CI.
# Usage: create_prefix.sh WINE WINESERVER
set -euo pipefail
wine=$1
wineserver=$2
ready="$WINEPREFIX/.tintlet-ready"
[ -f "$ready" ] && exit 0

# Wine's loader for a 32-bit prefix is itself a 32-bit x86 program; some kernels (and so some CI
# machines) cannot execute those at all. Say so and let the Wine tests be skipped, not failed.
if ! probe=$("$wine" --version 2>&1); then
    case "$probe" in
        *"Exec format error"*)
            echo "skipped: this machine cannot run 32-bit x86 programs, so Wine cannot start"
            exit 0 ;;
    esac
    echo "wine --version failed: $probe" >&2
    exit 1
fi

unset DISPLAY WAYLAND_DISPLAY
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
started=$(date +%s)
"$wine" wineboot -i
"$wineserver" -w
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
"$wineserver" -w
if ! grep -q '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
    echo "the null graphics driver is not set in $WINEPREFIX" >&2
    exit 1
fi
touch "$ready"
echo "Wine prefix $WINEPREFIX ready in $(($(date +%s) - started)) s"
