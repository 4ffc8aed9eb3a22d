#!/usr/bin/env bash
# Whether this machine runs 32-bit x86 programs, as Wine's loader for a 32-bit prefix is one, and
# how: natively, or through the qemu-i386 user-mode emulator registered with binfmt_misc where the
# kernel runs none. Sourced by tools/install-packages.sh, which registers the emulator, and by the
# Wine tests, which say which way Wine ran.

I386_BINFMT=/proc/sys/fs/binfmt_misc
I386_ENTRY=$I386_BINFMT/qemu-i386
I386_EMULATOR=/usr/bin/qemu-i386-static
# The first release measured to run Wine; Debian 12's 7.2 spins in Wine's loader for ever.
I386_EMULATOR_MAJOR=10

# Runs a 91-byte static i386 program that only exits 0. Succeeds when it ran; otherwise
# i386_failure holds what the system said.
i386_runs() {
    local probe status=0
    probe=$(mktemp "${TMPDIR:-/tmp}/i386-probe.XXXXXX") || return 1
    # ELF header, one loadable segment at 0x08048000, then: xor ebx,ebx; xor eax,eax; inc eax;
    # int 0x80 (exit 0).
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'`
          `'\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00'`
          `'\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'`
          `'\x00\x80\x04\x08\x5b\x00\x00\x00\x5b\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'`
          `'\x31\xdb\x31\xc0\x40\xcd\x80' >"$probe"
    chmod 700 "$probe"
    i386_failure=$("$probe" 2>&1) || status=$?
    rm -f "$probe"
    if [ "$status" -ne 0 ]; then
        # bash words it "cannot execute binary file: Exec format error"; keep the OS's reason.
        i386_failure=${i386_failure##*: }
        [ -n "$i386_failure" ] || i386_failure="exit status $status"
    fi
    return "$status"
}

# The emulator's version ("10.0.2"), or nothing.
i386_emulator_version() {
    local interpreter=${1:-$I386_EMULATOR} words
    [ -x "$interpreter" ] || return 0
    words=$("$interpreter" --version 2>/dev/null | head -n 1) || return 0
    words=${words#*version }
    echo "${words%% *}"
}

# Whether a registered emulator runs 32-bit programs here (binfmt_misc takes them before the
# kernel's own loader would).
i386_emulated() {
    [ -r "$I386_ENTRY" ] && [ "$(head -n 1 "$I386_ENTRY")" = enabled ]
}

# One phrase for reports: how Wine's 32-bit programs run on this machine.
i386_way() {
    if i386_emulated; then
        local interpreter
        interpreter=$(sed -n 's/^interpreter //p' "$I386_ENTRY")
        echo "through the qemu-i386 emulator $(i386_emulator_version "$interpreter")"
    else
        echo "natively"
    fi
}

# The machine a Windows program or DLL is built for, as its PE header gives it (at the offset
# the file holds at 0x3c): 14c for 32-bit x86, 8664 for x86-64.
pe_machine() {
    local header
    header=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
    od -An -tx2 -j $((header + 4)) -N 2 "$1" | tr -d ' ' | sed 's/^0*//'
}

# For the Wine tests: ends the script where 32-bit Wine cannot start (a kernel that runs no
# 32-bit programs, with no emulator registered), saying why; the test is then skipped, or fails
# under CI (TINTLET_REQUIRE_WINE=1) and where asked for by hand (WINE_SKIP_STATUS=1, as `make
# soak` sets) rather than pass unrun. Otherwise sets way, how Wine runs, and timed, the note every
# time measured under an emulator carries: the plug-in's own code is emulated too. 64-bit Wine
# (WINEARCH=win64) runs natively on every x86-64 kernel and is never skipped.
wine_starts() {
    local probe reason
    if ! probe=$("$1" --version 2>&1); then
        case "${WINEARCH:-win32}/$probe" in
            win32/*"Exec format error"*)
                reason="this machine cannot run 32-bit x86 programs, so Wine cannot start (tools/install-packages.sh, as root, registers an emulator)"
                if [ "${TINTLET_REQUIRE_WINE:-}" = 1 ]; then
                    echo "FAIL: $reason"
                    exit 1
                fi
                echo "skipped: $reason"
                exit "${WINE_SKIP_STATUS:-0}" ;;
        esac
        echo "wine --version failed: $probe" >&2
        exit 1
    fi
    timed=""
    if [ "${WINEARCH:-}" = win64 ]; then
        way="natively (64-bit Wine)"
    else
        way=$(i386_way)
        [ "$way" = natively ] || timed=" (Wine $way: not a Windows time)"
    fi
}

# Run as a command: one line on how Wine's 32-bit programs run here, for `make test` and `make soak`.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    if ! i386_runs; then
        echo "32-bit programs cannot run here ($i386_failure): Wine cannot start"
    elif i386_emulated; then
        echo "Wine runs $(i386_way), as this kernel runs no 32-bit programs: Wine times below are emulated, not Windows figures"
    else
        echo "Wine runs natively"
    fi
fi
