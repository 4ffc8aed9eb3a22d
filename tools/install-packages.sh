#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(
    cmake make g++ clang-format
    libgtest-dev libgmock-dev
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    clang-14 libclang-rt-14-dev # fuzz targets (libFuzzer)
    libbenchmark-dev            # make bench
    wine wine32:i386            # Tintlet.dll end to end in Marlwood.exe
    libxml2-utils               # xmllint: the preview's SVG is checked to be well-formed
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

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
