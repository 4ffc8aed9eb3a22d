#!/usr/bin/env bash
# tintlet-preview --screenshot end to end, as installed: the native and the Windows build installed
# under one prefix and run from a folder outside the checkout. The real Tintlet.dll in the scene
# under Wine, from each style file through SetSysColors and the host's style change to the pixels
# Windows draws; every style after the first is reached by a style change. Beside the bundled
# styles come one whose title bars both darken from left to right, and one whose absolute path of
# 258 bytes fits the plug-in natively but not as Wine's Z:\ path, 2 bytes longer, so its picture
# shows the defaults. Then runs stopped half way by SIGTERM and by SIGINT. Either way nothing of
# Wine or X may be left running. 64-bit Wine is all they need: the 32-bit loader is out of reach
# (/dev/null in its place, in a mount namespace of their own), so none of it runs 32-bit code.
# Usage (in the styles folder):
#   screenshot_test.sh WINE CMAKE LINUX_BUILD WINDOWS_BUILD STAGE EXPECTED_COLORS CACHE STYLE...
set -euo pipefail
loader32=$(dirname "$(realpath "$1")")/wine
if [ -e "$loader32" ] && [ -z "${TINTLET_NO_WINE32:-}" ]; then
    export TINTLET_NO_WINE32=1
    exec unshare --user --map-current-user --mount \
        bash -c 'mount --bind /dev/null "$0" && exec bash "$@"' "$loader32" "$0" "$@"
fi
cmake=$2 linux_build=$3 windows_build=$4 stage=$5 expected_colors=$6
export XDG_CACHE_HOME=$7
shift 7
bundled=()
for style in "$@"; do
    bundled+=("$PWD/$style")
done
rm -rf "$stage"
for build in "$linux_build" "$windows_build"; do
    "$cmake" --install "$build" --prefix "$stage" >/dev/null
done
preview=$stage/bin/tintlet-preview

prefix=$XDG_CACHE_HOME/tintlet/wineprefix-screenshots-win64
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cat >darkening.style <<'EOF'
window.title.focus: flat gradient horizontal
window.title.focus.color: #4f7ca8
window.title.focus.colorTo: #16324f
window.title.unfocus: flat gradient horizontal
window.title.unfocus.color: #a0a0a0
window.title.unfocus.colorTo: #303030
EOF
: >defaults.style
deep=$out/$(printf 'd%.0s' {1..100})
name=$(printf 'x%.0s' $(seq $((258 - ${#deep} - 1 - 6)))).style
mkdir "$deep"
deep=$deep/$name
cp "${bundled[0]}" "$deep"
[ "${#deep}" -eq 258 ] || { echo "FAIL: the deep style's path is ${#deep} bytes, not 258"; exit 1; }
shots=("${bundled[@]}" "$out/darkening.style" "$deep")
# What each picture must show, as the native plug-in gives it: the deep style's are the defaults.
natives=("${bundled[@]}" "$out/darkening.style" "$out/defaults.style")

xvfb_before=" $(pgrep -x Xvfb | tr "\n" " " || true) "
# Processes of a screenshot prefix (the test's own, or the one given), and X servers started
# since the test began.
leftovers() {
    local process
    for process in /proc/[0-9]*; do
        if tr '\0' '\n' 2>/dev/null <"$process/environ" | grep -qxF "WINEPREFIX=${1:-$prefix}"; then
            echo "${process#/proc/}: $(tr '\0' ' ' 2>/dev/null <"$process/cmdline")"
        fi
    done
    for process in $(pgrep -x Xvfb); do
        [[ $xvfb_before == *" $process "* ]] || echo "$process: Xvfb"
    done
}

# The colours the native plug-in gives each style, by its position: after "style NAME", lines
# "COLOR_X INDEX #rrggbb".
declare -A native
i=-1
while read -r first _ third; do
    case $first in
        style) i=$((i + 1)) ;;
        COLOR_*) native[$i/$first]=$third ;;
    esac
done < <("$expected_colors" "${natives[@]}")

started=$(date +%s)
status=0
"$preview" --trace --screenshot "$out/shot.png" "${shots[@]}" >"$out/report" 2>"$out/errors" ||
    status=$?
echo "screenshots of ${#shots[@]} styles in $(($(date +%s) - started)) s, exit code $status"
grep -e '^making' -e '^trace: screenshot' -e '^screenshot' "$out/report" || true
cat "$out/errors"
[ "$status" -eq 0 ] || fail "tintlet-preview --screenshot exited with $status"
# Beside the lines each style sets for the host alone, which the plug-in never reads.
[ "$(grep -v ', is not read: ' "$out/errors")" = "screenshot of $deep: a path of 260 bytes is too long for the plug-in (at most 259): it asks with an empty path, and the host's defaults apply" ] ||
    fail "the deep style's path was not named, alone, as too long"

# Each style's samples, as the trace gives them, against what the plug-in gives natively.
i=0
declare -A seen=()
while IFS= read -r line; do
    case $line in
        "trace: screenshot "*)
            read -r _ _ name where at colour <<<"$line"
            seen[$i/$name]=1
            if [ "$where" = at ] && [ "$colour" != "${native[$i/$name]:-none}" ]; then
                fail "${shots[i]}: Windows drew $name as $colour at ${at%:}, natively ${native[$i/$name]:-nothing}"
            fi ;;
        "screenshot of "*)
            style=${shots[i]##*/}
            file=$out/shot-$((i + 1))-${style%.style}.png
            [ "$line" = "screenshot of ${shots[i]}: $file (Windows drew the ten colours as the plug-in applied them)" ] ||
                fail "unexpected: $line"
            [ "$(head -c 8 "$file" 2>/dev/null | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
                fail "$file is not a PNG file"
            for name in "${!native[@]}"; do
                [[ $name != "$i/"* ]] || [ -n "${seen[$name]:-}" ] || fail "${shots[i]}: $name was not sampled"
            done
            i=$((i + 1)) ;;
    esac
done <"$out/report"
[ "$i" -eq "${#shots[@]}" ] || fail "$i screenshots for ${#shots[@]} styles"
left=$(leftovers)
[ -z "$left" ] || fail "left running after the run: $left"

# With neither $XDG_CACHE_HOME nor $HOME the prefix has no place: one line, and no prefix made.
status=0
(cd "$out" && env -u HOME -u XDG_CACHE_HOME "$preview" --screenshot homeless.png "${bundled[0]}") \
    >/dev/null 2>"$out/homeless" || status=$?
[ "$status" -eq 1 ] && grep -qxF 'tintlet-preview: --screenshot keeps a Wine prefix in $XDG_CACHE_HOME or $HOME, and neither is set' "$out/homeless" ||
    fail "with neither \$XDG_CACHE_HOME nor \$HOME, exit code $status: $(grep -v ', is not read: ' "$out/homeless")"

# Stopped while Wine repaints for the second style, and while a new prefix is being made: it
# cleans up at once, dies by the signal, and a prefix half made is made again next time.
for stop in "TERM screenshot of " "INT making a Wine prefix"; do
    read -r signal when <<<"$stop"
    cache=$XDG_CACHE_HOME
    [[ $when != making* ]] || cache=$out/new-cache
    coproc stopped {
        XDG_CACHE_HOME=$cache exec "$preview" --screenshot "$out/stopped.png" "${bundled[@]:0:2}" 2>&1
    }
    stopped_pid=$stopped_PID
    while read -r -t 120 -u "${stopped[0]}" line; do
        if [[ $line == "$when"* ]]; then
            kill -"$signal" "$stopped_pid"
            break
        fi
    done
    signalled=$SECONDS status=0
    wait "$stopped_pid" || status=$?
    expected=$((128 + $(kill -l "$signal")))
    [ "$status" -eq "$expected" ] ||
        fail "stopped by SIG$signal, tintlet-preview exited with $status, not $expected"
    [ $((SECONDS - signalled)) -le 10 ] ||
        fail "stopped by SIG$signal, tintlet-preview took $((SECONDS - signalled)) s to end"
    left=$(leftovers "$cache/tintlet/wineprefix-screenshots-win64")
    [ -z "$left" ] || fail "left running after SIG$signal: $left"
    partial=$(find "$out" -name '.*partial*')
    [ -z "$partial" ] || fail "a partial picture is left after SIG$signal: $partial"
done
[ ! -e "$out/new-cache/tintlet/wineprefix-screenshots-win64/.tintlet-screenshots-ready" ] ||
    fail "a prefix stopped half made is taken as made"

[ "$failures" -eq 0 ] && echo "every sampled pixel is the colour the native plug-in gives"
exit $((failures > 0))
