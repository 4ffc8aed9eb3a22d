#!/usr/bin/env bash
# What Tintlet.dll offers, needs and holds, as Windows and the host see it: exactly the two entry
# points; imports from USER32.dll and the host's five functions from Marlwood.exe, nothing else,
# so no C runtime; nothing that only a runtime would run (constructor and destructor lists,
# .CRT initialisers, thread-local data), neither in the file nor among the sections the link
# map shows went in; relocations and the ASLR and DEP flags; at most MAX_SIZE bytes.
# Usage: check_tables.sh OBJDUMP MODULE LINK_MAP MAX_SIZE
set -euo pipefail
objdump=$1
module=$2
map=$3
max_size=$4

tables=$("$objdump" -p "$module")
sections=$("$objdump" -h "$module" | awk '$1 ~ /^[0-9]+$/ {print $2}')

exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^\t\[/ {print $3; next} on {on=0}' \
    <<<"$tables" | sort | tr '\n' ' ')
imported_dlls=$(awk '/DLL Name:/ {print $3}' <<<"$tables" | sort | tr '\n' ' ')
host_imports=$(awk '/DLL Name:/ {dll=$3; next} dll=="Marlwood.exe" && NF==3 && $2 ~ /^[0-9]+$/ {print $3}
                    /^$/ {dll=""}' <<<"$tables" | sort | tr '\n' ' ')
# Input sections as the map lists them: " NAME ADDRESS SIZE FILE", or NAME alone on its line
# when it is long and the rest on the next.
runtime_inputs=$(awk '
    function check(name, size, file) {
        if (name ~ /^\.(ctors|dtors|ctor|dtor|CRT|tls)/ && size != "0x0") print name " from " file
    }
    pending != "" { if ($1 ~ /^0x/) check(pending, $2, $3); pending = ""; next }
    /^ \.[^ ]+$/ { pending = $1; next }
    /^ \.[^ ]+ +0x[0-9a-f]+ +0x[0-9a-f]+ / { check($1, $3, $4) }' "$map")
size=$(stat -c %s "$module")

status=0
fail() { echo "FAIL: $*"; status=1; }

[ "$exports" = "beginPlugin endPlugin " ] || fail "exports are '$exports', want 'beginPlugin endPlugin'"
for dll in $imported_dlls; do
    case "${dll,,}" in
        user32.dll | marlwood.exe) ;;
        *) fail "imports from $dll" ;;
    esac
done
[ "$host_imports" = "GetMWWnd IsInString ReadColor ReadString stylePath " ] ||
    fail "host imports are '$host_imports'"
for section in $sections; do
    case "$section" in
        .ctors* | .dtors* | .CRT* | .tls*) fail "section $section: nothing in the module would run it" ;;
    esac
done
while read -r input; do
    [ -z "$input" ] || fail "linked $input: nothing in the module would run it"
done <<<"$runtime_inputs"
grep -qx '\.reloc' <<<"$sections" || fail "no .reloc section: Windows could not load it at another address"
for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -qE "^[[:space:]]+$flag\$" <<<"$tables" || fail "DllCharacteristics lack $flag"
done
[ "$size" -le "$max_size" ] || fail "$size bytes, more than $max_size"

echo "exports: $exports"
echo "imports from: $imported_dlls"
echo "host imports: $host_imports"
echo "sections: $(tr '\n' ' ' <<<"$sections")"
echo "size: $size bytes"
exit $status
