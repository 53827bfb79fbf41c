#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test tools this machine lacks:
# CMake and Ninja, g++ and GoogleTest's sources, mingw-w64 and lld, Wine and Xvfb, and NSIS for the setup.
# Extra package names given as arguments are installed too.
set -euo pipefail

packages=(cmake ninja-build g++ googletest
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
          lld wine wine64 xvfb xauth util-linux nsis "$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
