#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing, and makes sure
# Wine's 32-bit programs can run: where the kernel runs none, it installs the qemu-i386 emulator
# and registers it with binfmt_misc. Where there is no dpkg, each package is looked for by a
# command or file of its own, and the missing ones are named in one line.
#
#   install-packages.sh           everything `make test` needs
#   install-packages.sh preview   only what the preview tool needs
#   install-packages.sh install   what `make install` builds and the installed tool's screenshots
#                                 run (64-bit Wine: no i386 package, no emulator)
#
# A package index that cannot be downloaded (a mirror caught mid-sync) does not stop it: it says
# which, and installs without it. With TINTLET_REQUIRE_WINE=1 (CI), Wine that cannot run is an
# error; otherwise the reason is printed and the Wine tests report themselves skipped with it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/i386-programs.sh"

# Each package, and what shows it is there: a command, or a path (a pattern).
preview_packages=("cmake cmake" "make make" "g++ g++" "libpng-dev /usr/include/png.h")
# The 64-bit Windows build, with the scene the screenshots run, and what they run under.
screenshot_packages=(
    "g++-mingw-w64-x86-64 x86_64-w64-mingw32-g++-win32"
    "binutils-mingw-w64-x86-64 x86_64-w64-mingw32-dlltool"
    "wine wine" "wine64 /usr/lib/wine/wine64"
    "xvfb Xvfb" "imagemagick /usr/bin/import" # screenshots of what Windows draws, under Wine
    "fonts-wine /usr/share/wine/fonts/tahoma.ttf"
)
packages=(
    "${preview_packages[@]}" "${screenshot_packages[@]}" "help2man help2man" # the man page
    "clang-format clang-format"
    "libgtest-dev /usr/include/gtest/gtest.h" "libgmock-dev /usr/include/gmock/gmock.h"
    "g++-mingw-w64-i686 i686-w64-mingw32-g++-win32"
    "binutils-mingw-w64-i686 i686-w64-mingw32-dlltool"
    "wine32:i386 /usr/lib/wine/wine"             # the 32-bit Tintlet.dll end to end
    "clang-14 clang++-14"                        # the sanitizer build and the fuzz targets
    "libclang-rt-14-dev /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a"
    "zip zip" "unzip unzip"                      # make dist, and its test
    "libxml2-utils xmllint"                      # the preview's SVG is checked to be well-formed
    "valgrind valgrind"                          # the benchmark's instruction counts
)

# Indexes that `apt-get update` could not download, from what it printed: one line each, the
# index ("bookworm-security/main/binary-i386") and the reason.
failed_indexes() {
    sed -nE 's#^[EW]: Failed to fetch [^ ]*/dists/([^ ]*)/(In)?(Packages|Release)[^ ]* +(.*[^ ])#\1 \4#p' |
        sed -E 's/ *\[IP: [^]]*\]$//'
}

# Of "RELEASE ARCHITECTURE" lines, one for each package index there is, the releases that lack
# an index for one of the architectures given. A Multi-Arch package must be installed at one
# version on every architecture, so such a release cannot give one architecture's packages.
releases_lacking_an_architecture() {
    awk -v wanted="$*" 'BEGIN { count = split(wanted, arch) }
        $1 != "" { has[$1 " " $2] = 1; release[$1] = 1 }
        END { for (r in release) for (i = 1; i <= count; i++) if (!(r " " arch[i] in has)) { print r; break } }' |
        sort
}

# An apt preference that holds each release given below the installed versions (priority under
# 100): apt then takes what it installs from releases that have every architecture.
hold_preferences() {
    local release
    for release in "$@"; do
        printf 'Package: *\nPin: release n=%s\nPin-Priority: 50\n\n' "$release"
    done
}

# apt-get update, tried again after a pause where it fails (a mirror caught mid-sync is whole
# again within minutes). Indexes it still cannot download are left in update_failures and the
# install goes on without them.
update_failures=""
apt_update() {
    local try output
    for try in 1 2 3; do
        output=$(apt-get update -q 2>&1) && update_failures="" && return 0
        update_failures=$(failed_indexes <<<"$output")
        [ "$try" -eq 3 ] || sleep $((10 * try))
    done
    [ -n "$update_failures" ] ||
        echo "apt-get update failed ($(grep -m 1 '^E:' <<<"$output" || echo "no reason given")); going on with the indexes there are" >&2
}

# Installs the packages given, in one transaction. Where some are of another architecture
# (i386) and a release lacks an index of one architecture, that release is held back for this
# transaction only. Each index that could not be downloaded is named in one line, with what is
# done about it. An install that fails says so in one line and returns apt-get's status.
apt_install() {
    local held="" preferences="" index reason release options=() status log
    if [[ " $* " == *:* ]]; then
        held=$(apt-get indextargets --format '$(CODENAME) $(ARCHITECTURE)' 'Created-By: Packages' |
            releases_lacking_an_architecture $(dpkg --print-architecture) $(dpkg --print-foreign-architectures))
    fi
    while read -r index reason; do
        [ -z "$index" ] || echo "the index $index could not be downloaded ($reason): installing without it"
    done <<<"$update_failures"
    for release in $held; do
        echo "holding $release back for this install, as it lacks an index for one architecture: each package is installed at a version every architecture has"
    done
    if [ -n "$held" ]; then
        preferences=$(mktemp)
        hold_preferences $held >"$preferences"
        options=(-o "Dir::Etc::Preferences=$preferences")
    fi
    log=$(mktemp)
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${options[@]}" "$@" \
        2>&1 | tee "$log" && status=0 || status=$?
    rm -f "$preferences"
    [ "$status" -eq 0 ] ||
        echo "cannot install $*: $(grep -m 1 '^E:' "$log" || echo "apt-get exit status $status")" >&2
    rm -f "$log"
    return "$status"
}

case "${1:-}" in
    "") wine_wanted=1 ;;
    preview) packages=("${preview_packages[@]}") wine_wanted= ;;
    install) packages=("${preview_packages[@]}" "${screenshot_packages[@]}" "help2man help2man")
        wine_wanted= ;;
    --functions) return 0 ;; # sourced by the tests of the decisions above
    *) echo "usage: $0 [preview|install]" >&2; exit 2 ;;
esac

present() {
    local package=$1 probe=$2
    if command -v dpkg-query >/dev/null; then
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'
    elif [[ $probe == /* ]]; then
        compgen -G "$probe" >/dev/null
    else
        command -v "$probe" >/dev/null
    fi
}

install_missing() {
    local missing=() entry package probe
    for entry in "${packages[@]}"; do
        read -r package probe <<<"$entry"
        present "$package" "$probe" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    if ! command -v dpkg >/dev/null; then
        echo "missing packages: ${missing[*]} (no dpkg here to install them)" >&2
        exit 1
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing packages: ${missing[*]} (run as root to install them)" >&2
        exit 1
    fi
    for package in "${missing[@]}"; do
        case "$package" in
            *:i386) dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
        esac
    done
    echo "installing: ${missing[*]}"
    apt_update
    apt_install "${missing[@]}" || exit 1
}

# The release's own suite, or else its backports, as the machine's apt sources name them.
emulator_suite() {
    local codename candidate site
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    candidate=$(apt-cache policy qemu-user-static 2>/dev/null | sed -n 's/^ *Candidate: *//p')
    if [ -n "$candidate" ] && [ "$candidate" != "(none)" ] &&
        dpkg --compare-versions "$candidate" ge "1:$I386_EMULATOR_MAJOR"; then
        echo "$codename"
        return
    fi
    [ -n "$codename" ] || return 1
    if ! apt-get indextargets --format '$(RELEASE)' | grep -qx "$codename-backports"; then
        # The mirror the machine already takes its release from.
        site=$(apt-get indextargets --format '$(RELEASE) $(SITE)' |
            awk -v suite="$codename" '$1 == suite { print $2; exit }')
        [ -n "$site" ] || return 1
        {
            echo "# Added by Tintlet's tools/install-packages.sh: qemu-user-static new enough for Wine."
            echo "Types: deb"
            echo "URIs: $site"
            echo "Suites: $codename-backports"
            echo "Components: main"
            [ ! -f /usr/share/keyrings/debian-archive-keyring.gpg ] ||
                echo "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
        } >"/etc/apt/sources.list.d/$codename-backports.sources"
        apt_update >/dev/null
    fi
    echo "$codename-backports"
}

# Why the emulator cannot be had, in one line; an error only under CI.
cannot_emulate() {
    echo "Wine cannot run here: $1, and $2" >&2
    [ "${TINTLET_REQUIRE_WINE:-}" != 1 ] || exit 1
    exit 0
}

# Whether an emulator of this version runs Wine.
new_enough() {
    [ -n "$1" ] && [ "${1%%.*}" -ge "$I386_EMULATOR_MAJOR" ] 2>/dev/null
}

# Where the kernel runs no 32-bit programs: qemu-i386 new enough for Wine, registered with
# binfmt_misc (the registration lasts until the machine restarts).
ensure_i386_programs() {
    local registered version suite reason
    if [ -e "$I386_ENTRY" ]; then
        registered=$(i386_emulator_version "$(sed -n 's/^interpreter //p' "$I386_ENTRY")")
        if new_enough "$registered"; then
            i386_emulated && return 0
            reason="qemu-i386 is registered but disabled"
        else
            reason="qemu-i386 ${registered:-of unknown version} is registered, too old for Wine"
        fi
    elif i386_runs; then
        return 0
    else
        reason="this kernel runs no 32-bit programs: $i386_failure"
    fi
    [ "$(id -u)" -eq 0 ] || cannot_emulate "$reason" "setting up an emulator needs root"
    command -v dpkg >/dev/null || cannot_emulate "$reason" "there is no dpkg to install one with"

    version=$(i386_emulator_version)
    if ! new_enough "$version"; then
        apt_update
        suite=$(emulator_suite) || cannot_emulate "$reason" \
            "no qemu-user-static $I386_EMULATOR_MAJOR or later is to be had from the release or its backports"
        apt_install -t "$suite" qemu-user-static >/dev/null ||
            cannot_emulate "$reason" "installing qemu-user-static from $suite failed"
        version=$(i386_emulator_version)
    fi

    if [ ! -w "$I386_BINFMT/register" ]; then
        mount -t binfmt_misc binfmt_misc "$I386_BINFMT" 2>/dev/null ||
            cannot_emulate "$reason" "binfmt_misc cannot be mounted at $I386_BINFMT"
    fi
    if [ -e "$I386_ENTRY" ] && [ "$registered" != "$version" ]; then
        echo -1 >"$I386_ENTRY" # an old emulator, held open by the kernel
    fi
    if [ -e "$I386_ENTRY" ]; then
        echo 1 >"$I386_ENTRY"
    else
        # F: the kernel opens the emulator now, so it is found in any mount namespace.
        echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$I386_EMULATOR"':OCF' \
            >"$I386_BINFMT/register" 2>/dev/null || [ -e "$I386_ENTRY" ] ||
            cannot_emulate "$reason" "the kernel refused the binfmt_misc registration"
    fi
    i386_runs || cannot_emulate "$reason" "even through qemu-i386 $version: $i386_failure"
    echo "registered qemu-i386 $version with binfmt_misc ($reason): Wine runs through the emulator"
}

# The emulator first, so that the i386 packages' own set-up programs run when they are installed.
# In a subshell: where it cannot, it says why and ends there, failing only under CI.
[ -z "$wine_wanted" ] || (ensure_i386_programs)
install_missing
