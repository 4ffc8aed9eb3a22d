#!/usr/bin/env bash
# Runs a Windows program under Wine, in the tests' own prefix (WINEPREFIX, of the architecture
# WINEARCH names, both from the caller), making the prefix first when it is not there yet. With
# --same-as, the program's standard output must be what the native command prints. Without a
# program, only makes the prefix. --persist makes it and starts the suite's one wineserver, which
# the tests after it share with the Wine services it keeps (each would otherwise start its own,
# seconds under an emulator); --stop ends that server.
# Usage: wine_test.sh WINE WINESERVER [--persist | --stop]
#        wine_test.sh WINE WINESERVER [--same-as NATIVE_COMMAND... --] [PROGRAM ARGUMENT...]
set -euo pipefail
wine=$1
wineserver=$2
: "${WINEARCH:?WINEARCH must be win32 or win64}"

# 64-bit Wine needs nothing of 32-bit Wine, so its tests run with the 32-bit loader out of reach
# (/dev/null in its place, in a mount namespace of their own): none of them can run 32-bit code,
# through the emulator or natively, on any kernel.
loader32=$(dirname "$(realpath "$wine")")/wine
if [ "$WINEARCH" = win64 ] && [ -e "$loader32" ] && [ -z "${TINTLET_NO_WINE32:-}" ]; then
    export TINTLET_NO_WINE32=1
    exec unshare --user --map-current-user --mount \
        bash -c 'mount --bind /dev/null "$0" && exec bash "$@"' "$loader32" "$0" "$@"
fi
shift 2
if [ "${1:-}" = --stop ]; then
    "$wineserver" -k 2>/dev/null || true # none running: nothing to end
    exit 0
fi
native=()
if [ "${1:-}" = --same-as ]; then
    shift
    while [ "$1" != -- ]; do
        native+=("$1")
        shift
    done
    shift
fi

source "$(dirname "$0")/../../tools/i386-programs.sh"
wine_starts "$wine"

# A prefix with the null graphics driver, as there is no display on CI. With both Wine loaders
# installed a new prefix is 64-bit unless WINEARCH says otherwise; the tests always say.
ready="$WINEPREFIX/.tintlet-ready-2"
if [ ! -f "$ready" ]; then
    unset DISPLAY WAYLAND_DISPLAY
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    started=$(date +%s)
    # The first program run in a new prefix makes it (`wineboot -i` would make it twice over).
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
    "$wineserver" -w
    if ! grep -qx "#arch=$WINEARCH" "$WINEPREFIX/system.reg"; then
        echo "$WINEPREFIX is not a $WINEARCH prefix: $(grep -m 1 '^#arch=' "$WINEPREFIX/system.reg")" >&2
        exit 1
    fi
    if ! grep -q '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
        echo "the null graphics driver is not set in $WINEPREFIX" >&2
        exit 1
    fi
    touch "$ready"
    echo "Wine prefix $WINEPREFIX ready in $(($(date +%s) - started)) s$timed"
fi
case "${1:-}" in
    --persist)
        # A server left by a run that never stopped it is ended; what the last server held of
        # the window colour may not have been saved.
        "$wineserver" -k 2>/dev/null || true
        rm -f "$WINEPREFIX/.tintlet-window"
        # Wine's services outlive each program and hold what it was given as output: started
        # here, they hold nothing a test or ctest waits on. The server and they end a minute
        # after the last program, should ctest never run wine_server_stop (a test picked with
        # -R, a run stopped).
        "$wineserver" -p60 </dev/null &>/dev/null
        "$wine" wineboot </dev/null &>/dev/null
        exit 0 ;;
esac

# The highlight is chosen against the window colour, so Wine must hold the one the native program
# runs with, which it prints first ("window colour #rrggbb"); the prefix takes it when it differs.
if [ ${#native[@]} -gt 0 ]; then
    if [ ! -x "${native[0]}" ]; then
        echo "FAIL: no ${native[0]} to compare with; build the linux preset first (make linux)"
        exit 1
    fi
    expected=$("${native[@]}")
    window=$(sed -n '1s/^window colour #\([0-9a-f]\{6\}\)$/\1/p' <<<"$expected")
    if [ -z "$window" ]; then
        echo "FAIL: ${native[0]} did not begin with the window colour"
        exit 1
    fi
    if [ "$(cat "$WINEPREFIX/.tintlet-window" 2>/dev/null)" != "$window" ]; then
        "$wine" reg add 'HKCU\Control Panel\Colors' /v Window \
            /d "$((16#${window:0:2})) $((16#${window:2:2})) $((16#${window:4:2}))" /f
        echo "$window" >"$WINEPREFIX/.tintlet-window"
    fi
fi
[ $# -gt 0 ] || exit 0

# A program of the other architecture would not test this build; 64-bit Wine may even end one
# that cannot start with exit code 0.
case "$WINEARCH/$(pe_machine "$1")" in
    win32/14c | win64/8664) ;;
    *) echo "FAIL: $1 is no $WINEARCH program (PE machine 0x$(pe_machine "$1"))"; exit 1 ;;
esac

echo "Wine runs $way${timed:+: the times below are emulated, not Windows figures}"
started=$(date +%s)
status=0
# Through a file: a Wine service the program starts would hold a pipe open after it ends.
output_file=$(mktemp)
trap 'rm -f "$output_file"' EXIT
"$wine" "$@" >"$output_file" || status=$?
output=$(tr -d '\r' <"$output_file")
echo "$output"
echo "$(basename "$1") ran $(($(date +%s) - started)) s$timed, exit code $status"
[ ${#native[@]} -gt 0 ] || exit "$status"

if [ "$output" != "$expected" ]; then
    echo "FAIL: Windows holds other colours than the plug-in gives natively (< native, > Windows):"
    diff <(echo "$expected") <(echo "$output") || true
    exit 1
fi
echo "the colours agree with the native plug-in"
exit "$status"
