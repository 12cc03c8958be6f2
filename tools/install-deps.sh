#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only when some are missing.
# Without root it installs nothing: it names the missing packages and the command that installs
# them, and fails.
set -euo pipefail

packages=(
    g++ cmake ninja-build clang-format googletest libgtest-dev libbenchmark-dev
    g++-multilib qemu-user
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine64 fonts-wine xvfb xdotool imagemagick x11-utils
    clang libclang-rt-dev
    debootstrap
    shellcheck flake8 gcovr
    git python3 zip unzip
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them as root with: $(realpath "$0")" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
