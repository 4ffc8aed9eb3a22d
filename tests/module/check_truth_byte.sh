#!/usr/bin/env bash
# Tintlet.dll reads IsInString's answer as the one byte it is: after every call, the first
# instruction that looks at the result register reads AL alone, so whatever a host leaves in the
# rest of EAX (RAX on x64) cannot change the answer.
# Usage: check_truth_byte.sh OBJDUMP MODULE
set -euo pipefail
objdump=$1
module=$2

tables=$("$objdump" -p "$module")
image_base=$(awk '$1 == "ImageBase" {print $2}' <<<"$tables")
# The import address table slot of IsInString: the host's table, at its place in the list.
slot_rva=$(awk '
    /^ [0-9a-f]+\t[0-9a-f]+ / {first_thunk = $6}
    /DLL Name:/ {dll = $3; index_ = 0; next}
    dll == "Marlwood.exe" && NF == 3 && $2 ~ /^[0-9]+$/ {
        if ($3 == "IsInString") print first_thunk " " index_
        index_++
    }' <<<"$tables")
if [ -z "$image_base" ] || [ -z "$slot_rva" ]; then
    echo "FAIL: IsInString is not among the module's imports"
    exit 1
fi
read -r first_thunk position <<<"$slot_rva"
# A slot holds an address: 4 bytes, or 8 in a 64-bit module.
case $("$objdump" -f "$module") in
    *pei-x86-64*) slot_size=8 ;;
    *) slot_size=4 ;;
esac
slot=$(printf '0x%x' $((0x$image_base + 0x$first_thunk + slot_size * position)))

# One instruction a line: address, mnemonic, operands, with a RIP-relative operand written as the
# address it reaches, which objdump gives after '#' ("*0x6a0a(%rip) # 0x180003028" becomes
# "*0x180003028"), and a prefix such as rex.W dropped.
code=$("$objdump" -d --no-show-raw-insn "$module" | awk -F'\t' '
    NF >= 2 && $1 ~ /^ *[0-9a-f]+:$/ {
        line = $2
        if (match(line, / *# 0x[0-9a-f]+/)) {
            reached = substr(line, RSTART, RLENGTH)
            sub(/.*# /, "", reached)
            line = substr(line, 1, RSTART - 1)
            sub(/-?0x[0-9a-f]+\(%rip\)/, reached, line)
        }
        sub(/^(rex\.W|rex|notrack|bnd) +/, "", line)
        gsub(/ +/, " ", line)
        print $1 " " line
    }')
# Calls reach the slot directly or through the linker's jump stub.
stubs=$(awk -v slot="$slot" '$2 == "jmp" && $3 == "*" slot {sub(":", "", $1); print "0x" $1}' <<<"$code")
verdicts=$(awk -v slot="$slot" -v stubs="$stubs" '
    BEGIN { n = split(stubs, s, "\n"); for (i = 1; i <= n; i++) if (s[i] != "") target[s[i]] = 1 }
    watching && /%(al|ah|ax|eax|rax)/ {
        if ($2 ~ /^(test|cmp)$/ && $3 ~ /^(%al,%al|\$0x0,%al)$/ || $2 ~ /^movz[bx]/ && $3 ~ /^%al,/)
            print "ok " at ": " $2 " " $3
        else
            print "bad " at ": " $2 " " $3
        watching = 0
    }
    watching && $2 ~ /^(ret|jmp|call)/ {
        print "bad " at ": " $2 " before the result was read"
        watching = 0
    }
    $2 == "call" && (target[$3] || $3 == "*" slot) { watching = 1; at = $1; sub(":", "", at) }' <<<"$code")

if [ -z "$verdicts" ]; then
    echo "FAIL: no call to IsInString (slot $slot) found"
    exit 1
fi
echo "$verdicts"
if grep -q '^bad' <<<"$verdicts"; then
    echo "FAIL: the result of IsInString is read beyond its byte"
    exit 1
fi
