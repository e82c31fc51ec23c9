#!/usr/bin/env bash
# test-all.sh - installs what the build needs, builds both presets and runs every test.
#
# On a new Debian 12 machine this is all the set-up there is: missing Debian
# packages are installed with apt-get, then the linux and windows presets are
# configured, built and tested (the windows tests under Wine). With CI set,
# compiler warnings are errors. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth
)
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if ((${#missing[@]})); then
  echo "== installing ${missing[*]}"
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
fi

werror=OFF
[ -n "${CI:-}" ] && werror=ON

status=0
for preset in linux windows; do
  echo "== configure and build: $preset"
  cmake --preset "$preset" -DOSTREVIN_WARNINGS_AS_ERRORS="$werror"
  cmake --build --preset "$preset"
done
for preset in linux windows; do
  echo "== test: $preset"
  ctest --preset "$preset" || status=1
done
exit "$status"
