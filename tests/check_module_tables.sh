#!/usr/bin/env bash
# Checks what Tintlet.dll offers and needs: exactly the two entry points, undecorated; the five host
# functions imported from Marlwood.exe; nothing imported from any DLL a bare Windows lacks.
set -euo pipefail
objdump=$1
module=$2

tables=$("$objdump" -p "$module")

exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^\t\[/ {print $3; next} on {on=0}' \
    <<<"$tables" | sort | tr '\n' ' ')
imported_dlls=$(awk '/DLL Name:/ {print $3}' <<<"$tables" | sort | tr '\n' ' ')
host_imports=$(awk '/DLL Name:/ {dll=$3; next} dll=="Marlwood.exe" && NF==3 && $2 ~ /^[0-9]+$/ {print $3}
                    /^$/ {dll=""}' <<<"$tables" | sort | tr '\n' ' ')

status=0
fail() { echo "FAIL: $*"; status=1; }

[ "$exports" = "beginPlugin endPlugin " ] || fail "exports are '$exports', want 'beginPlugin endPlugin'"
for dll in $imported_dlls; do
    case "$dll" in
        USER32.dll | KERNEL32.dll | msvcrt.dll | Marlwood.exe) ;;
        *) fail "imports from $dll" ;;
    esac
done
[ "$host_imports" = "GetMWWnd IsInString ReadColor ReadString stylePath " ] ||
    fail "host imports are '$host_imports'"

echo "exports: $exports"
echo "imports from: $imported_dlls"
echo "host imports: $host_imports"
echo "size: $(stat -c %s "$module") bytes"
exit $status
