#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing. Where there is
# no dpkg, each package is looked for by a command or file of its own, and the missing ones are
# named in one line.
set -euo pipefail

# Each package, and what shows it is there: a command, or a path (a pattern).
packages=(
    "cmake cmake" "make make" "g++ g++" "clang-format clang-format"
    "libgtest-dev /usr/include/gtest/gtest.h" "libgmock-dev /usr/include/gmock/gmock.h"
    "g++-mingw-w64-i686 i686-w64-mingw32-g++-win32"
    "binutils-mingw-w64-i686 i686-w64-mingw32-dlltool"
    "clang-14 clang++-14" # fuzz targets (libFuzzer)
    "libclang-rt-14-dev /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a"
    "wine wine" "wine32:i386 /usr/lib/wine/wine" # Tintlet.dll end to end in Marlwood.exe
    "zip zip" "unzip unzip" # make dist, and its test
    "libxml2-utils xmllint" # the preview's SVG is checked to be well-formed
    "valgrind valgrind" # the benchmark's instruction counts
)

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

missing=()
for entry in "${packages[@]}"; do
    read -r package probe <<<"$entry"
    present "$package" "$probe" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

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
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
