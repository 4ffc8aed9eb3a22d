#!/usr/bin/env bash
# How long tintlet-preview takes, and how much memory, on style files at the size limit (16 MiB)
# that are built to be slow: the same near-miss key on every line, a key the plug-in reads set
# again on every line, its words written otherwise on every line, lines that are no key at all,
# unique keys, unique keys a few edits from the plug-in's or in other words, one value of the
# whole file; and 40 such styles in one run. Wall time and peak memory from /usr/bin/time, for each case.
#
#   bench/preview-limits.sh [TOOL]   (default build/linux/bin/tintlet-preview)
#
# The files are made in a temporary folder and removed afterwards.
set -euo pipefail
tool=${1:-"$(dirname "$0")/../build/linux/bin/tintlet-preview"}
if [ ! -x "$tool" ]; then
    echo "preview-limits.sh: no tool at $tool (cmake --build --preset linux builds it)" >&2
    exit 2
fi
if [ ! -x /usr/bin/time ]; then
    echo "preview-limits.sh: needs /usr/bin/time (apt-get install time)" >&2
    exit 2
fi
folder=$(mktemp -d /tmp/tintlet-limits.XXXXXX)
trap 'rm -rf "$folder"' EXIT
limit=$((16 * 1024 * 1024))

# LINE (with its newline) again and again, at most BYTES in all: repeated FILE BYTES LINE
repeated() {
    local file=$1 bytes=$2 line=$3
    local count=$((bytes / ${#line}))
    (yes -- "${line%$'\n'}" || true) | head -n "$count" >"$file"
}
# Numbered lines from a printf format until BYTES: numbered FILE BYTES FORMAT
numbered() {
    local file=$1 bytes=$2 format=$3
    awk -v f="$format" -v max="$bytes" 'BEGIN {
        for (i = 1;; i++) { s = sprintf(f "\n", i); n += length(s); if (n > max) break; printf "%s", s }
    }' >"$file"
}

repeated "$folder/comments.style" $limit $'! a comment, and nothing else in the file at all\n'
repeated "$folder/near-miss-1m.style" $((1024 * 1024)) $'window.title.focus.colxx: 1\n'
repeated "$folder/near-miss.style" $limit $'window.title.focus.colxx: 1\n'
repeated "$folder/no-keys.style" $limit $'x\n'
repeated "$folder/set-again.style" $limit $'menu.title.color: #123456\n'
repeated "$folder/same-words.style" $limit $'Menu_Highlight_TextColour: #123456\n'
numbered "$folder/unique-words.style" $limit 'menu.highlight.colour.%d: #123456'
numbered "$folder/unique-keys.style" $limit 'style.key.%d: #123456'
numbered "$folder/unique-near.style" $limit 'window.title.focus.c%06d: 1'
{ printf 'toolbar.color: '; head -c $((limit - 16)) /dev/zero | tr '\0' x; echo; } \
    >"$folder/one-value.style"
{ printf 'menu.hilite: flat\nmenu.hilite.color: '; head -c $((limit - 40)) /dev/zero | tr '\0' x;
  echo; } >"$folder/one-colour.style"

printf '%-34s %9s %12s %7s\n' "case" "seconds" "peak MB" "status"
run() {
    local name=$1 status=0
    shift
    /usr/bin/time -f '%e %M' -o "$folder/time" "$tool" "$@" >/dev/null 2>"$folder/err" || status=$?
    # The last line: time puts a line on a non-zero exit status before it.
    awk -v name="$name" -v status="$status" \
        'END { printf "%-34s %9.2f %12.1f %7s\n", name, $1, $2 / 1024, status }' "$folder/time"
}
run "16 MiB of comments" "$folder/comments.style"
run "1 MiB of one near-miss key" "$folder/near-miss-1m.style"
run "16 MiB of one near-miss key" "$folder/near-miss.style"
run "16 MiB of lines that are no key" "$folder/no-keys.style"
run "16 MiB of one key set again" "$folder/set-again.style"
run "16 MiB of one key in other words" "$folder/same-words.style"
run "16 MiB of unique keys in words" "$folder/unique-words.style"
run "16 MiB of unique keys" "$folder/unique-keys.style"
run "16 MiB of unique near-miss keys" "$folder/unique-near.style"
run "16 MiB value, a colour key" "$folder/one-colour.style"
args=()
for _ in $(seq 40); do args+=("$folder/one-value.style"); done
run "40 styles of one 16 MiB value" "${args[@]}"
