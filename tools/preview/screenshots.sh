#!/bin/bash
# The screenshots of tintlet-preview --screenshot: the scene (Marlwood.exe, which runs the real
# Tintlet.dll) under Wine, in Wine's virtual desktop on a private virtual X server, every style in
# one Wine session, each after the last by a style change. Nothing of Wine or X outlives it,
# however it ends. The tool reads what it writes, a line each:
#   say TEXT                 a line for the user
#   point ... | within ...   what the next picture must show, as the scene says (scene/scene.cpp)
#   shot FILE                the next style's picture is written to FILE
#   error TEXT               why it cannot go on; then it ends
#
#   screenshots.sh needs PROGRAMS SETTINGS   what is missing, as an error line
#   screenshots.sh shoot PROGRAMS SETTINGS WINDOW TEXT STYLE... FILE...
# PROGRAMS is the folder of Marlwood.exe and Tintlet.dll, SETTINGS the prefix's .reg file, WINDOW
# the window colour #rrggbb and TEXT the window text's, each STYLE as Wine's programs name it
# (Z:\...) and for each an absolute path, FILE, for its picture (the tool puts it in place, or
# removes it).
set -euo pipefail

IMPORT=/usr/bin/import # by full path: elsewhere on PATH may be another program
FONTS=/usr/share/wine/fonts

fail() {
    echo "error $*"
    exit 1
}

[ $# -ge 3 ] || fail "usage: $0 needs|shoot PROGRAMS SETTINGS [WINDOW TEXT STYLE... FILE...]"
mode=$1 programs=$2 settings=$3 window=${4:-} text=${5:-}
if [ ! -r "$programs/Marlwood.exe" ] || [ ! -r "$programs/Tintlet.dll" ]; then
    fail "--screenshot needs Marlwood.exe and Tintlet.dll in $programs (make windows64 builds them; make install installs them)"
elif [ ! -r "$settings" ]; then
    fail "--screenshot needs $settings, installed with the tool"
elif ! wine=$(command -v wine64 || command -v /usr/lib/wine/wine64) || ! command -v wineserver >/dev/null; then
    fail "--screenshot needs 64-bit Wine (apt-get install wine wine64)"
elif ! command -v Xvfb >/dev/null; then
    fail "--screenshot needs Xvfb, a virtual X server (apt-get install xvfb)"
elif [ ! -x "$IMPORT" ]; then
    fail "--screenshot needs ImageMagick's $IMPORT to write PNG files (apt-get install imagemagick)"
elif ! compgen -G "$FONTS/*.ttf" >/dev/null; then
    fail "--screenshot needs Wine's fonts in $FONTS (apt-get install fonts-wine)"
fi
[ "$mode" = shoot ] || exit 0
styles=("${@:6:($# - 5) / 2}") files=("${@:6 + ($# - 5) / 2}")

# Ends whatever this run started, on every way out; a second signal does not cut it short.
tmp=$(mktemp -d) xvfb='' wine_up=''
cleanup() {
    trap '' INT TERM HUP PIPE
    set +e
    if [ -n "$wine_up" ]; then
        timeout 30 wineserver -k 2>/dev/null
        timeout 30 wineserver -w
    fi
    # shellcheck disable=SC2046,SC2086 # one word per process, none when Xvfb is not started
    kill $(jobs -p) $xvfb 2>/dev/null
    wait
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 141' PIPE
trap 'exit 143' TERM

# Long waits are background jobs, so that a stop signal is handled at once.
await() {
    "$@" &
    wait "$!"
}
# The last line a program wrote to file, for a message; else its exit status, when given.
said() {
    tail -n 1 "$1" 2>/dev/null | tr -d '\r' | grep . || echo "no reason given${2:+ (exit status $2)}"
}

# The prefix is kept for the user, one run at a time in it: two disturb each other.
cache=${HOME:+$HOME/.cache/tintlet}
[[ ${XDG_CACHE_HOME:-} != /* ]] || cache=$XDG_CACHE_HOME/tintlet
[[ $cache == /* ]] ||
    fail "--screenshot keeps a Wine prefix in \$XDG_CACHE_HOME or \$HOME, and neither is set"
mkdir -p "$cache" 2>"$tmp/said" || fail "cannot make $cache: $(said "$tmp/said")"
export WINEPREFIX=$cache/wineprefix-screenshots-win64 WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml="
{ exec {lock}>"$WINEPREFIX.lock"; } 2>"$tmp/said" ||
    fail "cannot open $WINEPREFIX.lock: $(said "$tmp/said")"
if ! flock -n "$lock"; then
    echo "say waiting for another screenshot run to finish with its Wine prefix"
    await flock "$lock"
fi
unset WAYLAND_DISPLAY

# The virtual X screen is as large as the virtual desktop; Xvfb picks a free display itself.
size=$(sed -n 's/^"Default"="\([0-9]*x[0-9]*\)"\r*$/\1/p' "$settings")
[ -n "$size" ] || fail "$settings gives no desktop size"
exec {screen}< <(exec Xvfb -displayfd 1 -screen 0 "${size}x24" -nolisten tcp -noreset 2>"$tmp/xvfb")
xvfb=$!
read -r -t 30 -u "$screen" display || fail "Xvfb did not start: $(said "$tmp/xvfb")"
export DISPLAY=:$display

wine_up=1
if ! cmp -s "$settings" "$WINEPREFIX/.tintlet-screenshots-ready"; then
    echo "say making a Wine prefix for screenshots in $WINEPREFIX (once; about 15 s)"
    rm -rf "$WINEPREFIX" # wine makes it again
    # Wine's 32-bit (WoW64) set-up is of no use to the scene, and slow through an emulator: where a
    # mount namespace can be had, /dev/null stands in for the 32-bit loader beside wine64.
    hide=(unshare --user --map-current-user --mount
        sh -c 'mount --bind /dev/null "${0%64}" 2>/dev/null; exec "$@"' "$(realpath "$wine")")
    "${hide[@]}" true 2>/dev/null || hide=()
    # The first program run in a new prefix makes it (`wineboot -i` would make it twice over):
    # here the one that takes the settings.
    { await timeout 300 "${hide[@]}" "$wine" regedit /S "Z:${settings//\//\\}" &&
        await timeout 300 wineserver -w; } >"$tmp/said" 2>&1 ||
        fail "cannot make the Wine prefix: $(said "$tmp/said" $?)"
    # Without the fonts caption buttons draw as letters and text falls back to other fonts.
    cp "$FONTS"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>"$tmp/said" ||
        fail "cannot set up the Wine prefix: $(said "$tmp/said")"
    grep -q "^\"Default\"=\"$size\"" "$WINEPREFIX/user.reg" ||
        fail "the Wine prefix did not take its settings ($WINEPREFIX/user.reg)"
    cp "$settings" "$WINEPREFIX/.tintlet-screenshots-ready"
fi

# The scene reads its orders from one pipe and says what it painted on another.
mkfifo "$tmp/orders" "$tmp/painted"
"$wine" "$programs/Marlwood.exe" --window "$window" "$text" "${styles[@]}" \
    <"$tmp/orders" >"$tmp/painted" 2>"$tmp/scene" &
scene=$!
exec {orders}>"$tmp/orders" {painted}<"$tmp/painted"
for i in "${!styles[@]}"; do
    line=
    while [[ $line != "painted "* ]]; do
        read -r -t "$((i == 0 ? 180 : 60))" -u "$painted" line ||
            fail "the scene of ${styles[i]} was not painted: $(said "$tmp/scene")"
        line=${line%$'\r'}
        case $line in point\ * | within\ *) echo "$line" ;; esac
    done
    # Without time stamps, the same screen gives the same file.
    await timeout 30 "$IMPORT" -display "$DISPLAY" -window root -strip "PNG:${files[i]}" \
        2>"$tmp/said" || fail "cannot take the screenshot: $(said "$tmp/said")"
    echo "shot ${files[i]}"
    if [ "$i" -lt $((${#styles[@]} - 1)) ]; then echo next; else echo stop; fi >&"$orders"
done
exec {orders}>&-
wait "$scene" || fail "Marlwood.exe ended with status $?: $(said "$tmp/scene")"
