#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing, and makes sure
# Wine's 32-bit programs can run: where the kernel runs none, it installs the qemu-i386 emulator
# and registers it with binfmt_misc. Where there is no dpkg, each package is looked for by a
# command or file of its own, and the missing ones are named in one line.
#
#   install-packages.sh           everything `make test` needs
#   install-packages.sh preview   only what the preview tool needs
#   install-packages.sh install   what `make install` builds and the installed tool's screenshots run
#
# With TINTLET_REQUIRE_WINE=1 (CI), Wine that cannot run is an error; otherwise the reason is
# printed and the Wine tests report themselves skipped with it.
set -euo pipefail
source "$(dirname "$0")/i386-programs.sh"

# Each package, and what shows it is there: a command, or a path (a pattern).
preview_packages=("cmake cmake" "make make" "g++ g++" "libpng-dev /usr/include/png.h")
# The 32-bit Windows build, with the scene the screenshots run, and what they run under.
screenshot_packages=(
    "g++-mingw-w64-i686 i686-w64-mingw32-g++-win32"
    "binutils-mingw-w64-i686 i686-w64-mingw32-dlltool"
    "wine wine" "wine32:i386 /usr/lib/wine/wine" # Tintlet.dll end to end in Marlwood.exe
    "xvfb Xvfb" "imagemagick /usr/bin/import"    # screenshots of what Windows draws, under Wine
    "fonts-wine /usr/share/wine/fonts/tahoma.ttf"
)
packages=(
    "${preview_packages[@]}" "${screenshot_packages[@]}" "clang-format clang-format"
    "libgtest-dev /usr/include/gtest/gtest.h" "libgmock-dev /usr/include/gmock/gmock.h"
    "g++-mingw-w64-x86-64 x86_64-w64-mingw32-g++-win32"
    "binutils-mingw-w64-x86-64 x86_64-w64-mingw32-dlltool"
    "clang-14 clang++-14" # fuzz targets (libFuzzer)
    "libclang-rt-14-dev /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a"
    "wine64 /usr/lib/wine/wine64"                # the 64-bit Tintlet.dll end to end, natively
    "zip zip" "unzip unzip"                      # make dist, and its test
    "libxml2-utils xmllint"                      # the preview's SVG is checked to be well-formed
    "valgrind valgrind"                          # the benchmark's instruction counts
)
case "${1:-}" in
    "") wine_wanted=1 ;;
    preview) packages=("${preview_packages[@]}") wine_wanted= ;;
    install) packages=("${preview_packages[@]}" "${screenshot_packages[@]}") wine_wanted=1 ;;
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

apt_install() {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
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
    apt-get update -q
    apt_install "${missing[@]}"
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
        apt-get update -q >/dev/null
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
        apt-get update -q >/dev/null
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
