#!/usr/bin/env bash
# test-all.sh - installs what the build needs, builds both presets and runs every test.
#
# On a new Debian 12 machine this is all the set-up there is: missing Debian
# packages are installed with apt-get, then the linux and windows presets are
# configured, built and tested (the windows tests under Wine). With CI set,
# compiler warnings are errors. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

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
