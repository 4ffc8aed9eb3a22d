#!/usr/bin/env bash
# tintlet-preview --screenshot end to end: the real Tintlet.dll in Marlwood.exe's scene under Wine,
# from each style file through SetSysColors and the host's style change to the pixels Windows
# draws. Every style after the first is reached by a style change. Then a run stopped by SIGTERM
# half way. Either way nothing of Wine or X may be left running.
# Usage (in the styles folder): screenshot_test.sh WINE PREVIEW EXPECTED_COLORS CACHE STYLE...
set -euo pipefail
wine=$1 preview=$2 expected_colors=$3
export XDG_CACHE_HOME=$4
shift 4
styles=("$@")
source "$(dirname "$0")/../../tools/i386-programs.sh"
wine_starts "$wine"
echo "Wine runs $way${timed:+: the times below are emulated, not Windows figures}"

prefix=$XDG_CACHE_HOME/tintlet/wineprefix-screenshots
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

xvfb_before=" $(pgrep -x Xvfb | tr "\n" " " || true) "
# Processes of the screenshot prefix, and X servers started since the test began.
leftovers() {
    local process
    for process in /proc/[0-9]*; do
        if tr '\0' '\n' 2>/dev/null <"$process/environ" | grep -qxF "WINEPREFIX=$prefix"; then
            echo "${process#/proc/}: $(tr '\0' ' ' 2>/dev/null <"$process/cmdline")"
        fi
    done
    for process in $(pgrep -x Xvfb); do
        [[ $xvfb_before == *" $process "* ]] || echo "$process: Xvfb"
    done
}

# The colours the native plug-in gives each style: "style NAME", then "COLOR_X INDEX #rrggbb".
declare -A native
current=
while read -r first second third; do
    case $first in
        style) current=$second ;;
        COLOR_*) native[$current/$first]=$third ;;
    esac
done < <("$expected_colors" "${styles[@]}")

started=$(date +%s)
status=0
"$preview" --trace --screenshot "$out/shot.png" "${styles[@]}" >"$out/report" 2>"$out/errors" ||
    status=$?
echo "screenshots of ${#styles[@]} styles in $(($(date +%s) - started)) s$timed, exit code $status"
grep -v '^trace: [^s]' "$out/report" | grep -e '^making' -e '^trace: screenshot' -e '^screenshot' || true
cat "$out/errors"
[ "$status" -eq 0 ] || fail "tintlet-preview --screenshot exited with $status"

# Each style's samples, as the trace gives them, against what the plug-in gives natively.
i=0
declare -A seen=()
while IFS= read -r line; do
    case $line in
        "trace: screenshot "*)
            read -r _ _ name where at colour <<<"$line"
            style=${styles[$i]}
            seen[$style/$name]=1
            if [ "$where" = at ] && [ "${colour}" != "${native[$style/$name]:-none}" ]; then
                fail "$style: Windows drew $name as $colour at ${at%:}, natively ${native[$style/$name]:-nothing}"
            fi ;;
        "screenshot of "*)
            style=${styles[$i]}
            file=$out/shot-$((i + 1))-${style%.style}.png
            [ "$line" = "screenshot of $style: $file (Windows drew the ten colours as the plug-in applied them)" ] ||
                fail "unexpected: $line"
            [ "$(head -c 8 "$file" 2>/dev/null | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
                fail "$file is not a PNG file"
            for name in "${!native[@]}"; do
                [[ $name != "$style/"* ]] || [ -n "${seen[$name]:-}" ] || fail "$name was not sampled"
            done
            i=$((i + 1)) ;;
    esac
done <"$out/report"
[ "$i" -eq "${#styles[@]}" ] || fail "$i screenshots for ${#styles[@]} styles"
left=$(leftovers)
[ -z "$left" ] || fail "left running after the run: $left"

# Stopped by SIGTERM while Wine repaints for the second style: it cleans up and dies by it.
coproc stopped { exec "$preview" --screenshot "$out/stopped.png" "${styles[@]:0:2}" 2>&1; }
stopped_pid=$stopped_PID
while read -r -t 120 -u "${stopped[0]}" line; do
    if [[ $line == "screenshot of "* ]]; then
        kill -TERM "$stopped_pid"
        break
    fi
done
status=0
wait "$stopped_pid" || status=$?
[ "$status" -eq 143 ] || fail "stopped by SIGTERM, tintlet-preview exited with $status, not 143"
left=$(leftovers)
[ -z "$left" ] || fail "left running after SIGTERM: $left"
partial=$(find "$out" -name '.*partial*')
[ -z "$partial" ] || fail "a partial picture is left: $partial"

[ "$failures" -eq 0 ] && echo "every sampled pixel is the colour the native plug-in gives"
exit $((failures > 0))
