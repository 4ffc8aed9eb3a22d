#!/usr/bin/env bash
# The 64-bit Tintlet.dll can be unwound through: every function compiled into it, each one the
# link map names and any it does not (a static one), lies in an entry of the function table
# (.pdata, whose unwind codes are in .xdata), and each named function starts one. On x64 an exception or a
# stack walk that meets code without an entry cannot go on, and the window procedure runs inside
# user32's callbacks. The import stubs (one jmp each, no frame) and alignment padding need none.
# Usage: check_unwind.sh OBJDUMP MODULE LINK_MAP
set -euo pipefail
objdump=$1
module=$2
map=$3

{
    # "range BEGIN END": the function table's rows.
    "$objdump" -p "$module" | awk '
        /^The Function Table/ {on = 1; next}
        on && /^ [0-9a-f]+:\t/ {print "range", $2, $3; next}
        on && /^$/ {on = 0}'
    # "code START SIZE FILE": the compiled objects' .text in the map, then "function ADDRESS NAME"
    # for each function it names there.
    awk '
        /^ \.text +0x/ {on = ($4 ~ /\.obj\)?$/); if (on) print "code", $2, $3, $4; next}
        /^ [.*]/ || /^[^ ]/ {on = 0; next}
        on && $1 ~ /^0x/ {address = $1; $1 = ""; print "function", address, substr($0, 2)}' "$map"
    # "insn ADDRESS MNEMONIC OPERANDS": the code.
    "$objdump" -d --no-show-raw-insn "$module" | awk -F'\t' '
        $1 ~ /^ *[0-9a-f]+:$/ {sub(/^ */, "", $1); sub(/:$/, "", $1); print "insn", $1, $2}'
} | awk '
    function number(text,    i, n) {
        sub(/^0x/, "", text)
        n = 0
        for (i = 1; i <= length(text); i++)
            n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
        return n
    }
    # Array keys as hex text: awk may write a large number as a subscript in a shortened form.
    function key(text) { sub(/^0x/, "", text); sub(/^0+/, "", text); return text }
    # The rest of the line after the tag and the address: a name, or an instruction.
    function rest(    text) { text = $0; sub(/^[a-z]+ [^ ]+ /, "", text); return text }
    $1 == "range" {begin[++ranges] = number($2); end[ranges] = number($3); starts[key($2)] = 1}
    $1 == "code" {from[++codes] = number($2); to[codes] = number($2) + number($3); file[codes] = $4}
    $1 == "function" {at[++functions] = key($2); named[functions] = rest()}
    $1 == "insn" {address[++insns] = number($2); hex[insns] = $2; text[insns] = rest()}
    function covered(a,    i) {
        for (i = 1; i <= ranges; i++) if (a >= begin[i] && a < end[i]) return 1
        return 0
    }
    END {
        if (ranges == 0) { print "FAIL: no function table (.pdata)"; bad = 1 }
        if (codes == 0) { print "FAIL: the link map names no compiled code"; bad = 1 }
        for (f = 1; f <= functions; f++)
            if (!(at[f] in starts)) { print "FAIL: " named[f] " starts no unwind entry"; bad = 1 }
        for (i = 1; i <= insns; i++) {
            for (c = 1; c <= codes; c++) if (address[i] >= from[c] && address[i] < to[c]) break
            if (c > codes || covered(address[i])) continue
            if (text[i] ~ /^(nop[wlq]?|int3|data16|cs nopw|xchg +%ax,%ax)( |$)/) continue
            print "FAIL: " hex[i] " in " file[c] " (" text[i] ") lies in no unwind entry"
            bad = 1
        }
        printf "%d unwind entries, %d named functions in %d objects\n", ranges, functions, codes
        exit bad
    }'
