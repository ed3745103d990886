#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need; quick
# when they are all there already. The 32-bit build runs under Debian's i386
# Wine loader (wine32:i386, from the i386 architecture added here); where the
# kernel runs no 32-bit programs, qemu-user-static runs it, so nothing here
# needs a 32-bit kernel.
set -euo pipefail
packages=(g++ cmake ninja-build mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64
          wine32:i386 qemu-user-static
          python3 xvfb xauth xdotool socat lirc libgtest-dev libbenchmark-dev imagemagick clang libclang-rt-dev)
[ "${1:-}" = "--with-tools" ] && packages+=(tmux)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
# Another apt or dpkg may be at work (an unattended upgrade): wait for its lock.
apt=($sudo apt-get -o DPkg::Lock::Timeout=900)
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
"${apt[@]}" update -qq
DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
