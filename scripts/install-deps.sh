#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need; quick
# when they are all there already. Never installs wine32: this machine's
# kernel may run no 32-bit code, and the 64-bit loader is all we use.
set -euo pipefail
packages=(g++ cmake ninja-build mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64
          xvfb xauth socat lirc libgtest-dev libbenchmark-dev imagemagick clang libclang-rt-dev)
[ "${1:-}" = "--with-tools" ] && packages+=(tmux)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
