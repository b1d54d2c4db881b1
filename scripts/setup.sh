#!/usr/bin/env bash
# Installs what the build and the tests need (Debian packages only) and builds both trees:
#   build/win     the Windows program and tests (mingw-w64), run through Wine
#   build/native  the Win32-free code, its tests and the benchmark
# Safe to run again: installed packages are skipped, builds are incremental.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(g++-mingw-w64-x86-64 mingw-w64-tools cmake make g++ googletest
          wine wine64 xvfb xauth x11-apps xdotool imagemagick gifsicle python3-pil
          fonts-wqy-microhei fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/win" -j "$jobs"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/native" -j "$jobs"
