#!/usr/bin/env bash
# run.sh - builds ostrevin.exe if needed and starts it under Wine.
#
# On your display when there is one; otherwise on a private Xvfb display,
# where nothing is visible (a screenshot of the window is saved once it
# shows). Arguments are passed on (the program ignores them). Stop it by
# closing its window, or with Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
[ -f build/windows/build.ninja ] || cmake --preset windows
cmake --build --preset windows --target ostrevin windowcheck

root=$PWD
program=$root/build/windows/src/app/ostrevin.exe
export OSTREVIN_MANAGED_WINDOWS=1
prefix=$root/build/windows/wineprefix-run

if [ -n "${DISPLAY:-}" ]; then
  echo "== starting ostrevin.exe under Wine on $DISPLAY"
  exec "$root/cmake/wine-run.sh" "$prefix" "$program" "$@"
fi

shot=$root/build/windows/ostrevin-window.png
echo "== no display: starting ostrevin.exe under Wine on a private Xvfb display (Ctrl+C ends it)"
exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" bash -c '
  set -u
  trap "wineserver -k 2>/dev/null" EXIT
  "$0" "$1" "$2" "${@:5}" &
  pid=$!
  if info=$("$0" "$1" "$3" find Ostrevin 60 | tr -d "\r"); then
    rect=$(sed -n "s/^rect=//p" <<<"$info")
    IFS=, read -r l t r b <<<"$rect"
    import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$4" && echo "== window on screen; screenshot: $4"
  fi
  wait "$pid"
' "$root/cmake/wine-run.sh" "$prefix" "$program" "$root/build/windows/tests/e2e/windowcheck.exe" "$shot" "$@"
