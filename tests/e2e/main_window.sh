#!/usr/bin/env bash
# main_window.sh - ostrevin.exe under Wine and Xvfb: its window, a refused drag, a clean exit.
#
#   main_window.sh PREFIX WINE_RUN OSTREVIN_EXE DRAGSOURCE_EXE WINDOWCHECK_EXE OUTPUT_DIR
#
# Starts the program (once plainly, once with arguments it must ignore), finds
# its window and checks caption, class, client size, border and title-bar
# buttons and the two labels, saves a screenshot into OUTPUT_DIR, drags text
# onto the window and expects the drag to be refused, closes the window and
# expects exit code 0 and no window left.
set -euo pipefail

if [ "${1:-}" != --on-display ]; then
  exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" bash "$0" --on-display "$@"
fi
shift
prefix=$1 wine_run=$2 program=$3 dragsource=$4 windowcheck=$5 outdir=$6
export WINEPREFIX=$prefix WINEDEBUG=-all
mkdir -p "$outdir"
trap 'wineserver -k 2>/dev/null || true' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The value of KEY in "key=value" lines.
value_of() { sed -n "s/^$1=//p" <<<"$2" | tr -d '\r' | head -n 1; }

run_scenario() {
  local label=$1
  shift
  echo "== $label: ostrevin.exe $*"
  "$wine_run" "$prefix" "$program" "$@" &
  local pid=$!

  local info
  info=$("$wine_run" "$prefix" "$windowcheck" find Ostrevin 60 | tr -d '\r') || fail "$label: no window captioned Ostrevin"
  echo "$info"
  [ "$(value_of class "$info")" = TForm1 ] || fail "$label: the window's class is not TForm1"

  local dpi client
  dpi=$(value_of dpi "$info")
  client=$(value_of client "$info")
  [ "$client" = "$((594 * dpi / 96)),$((375 * dpi / 96))" ] || fail "$label: client area $client at $dpi dpi"

  local style=$(( $(value_of style "$info") ))
  (( style & 0x00C00000 )) || fail "$label: no caption"
  (( style & 0x00080000 )) || fail "$label: no system menu"
  (( style & 0x00020000 )) || fail "$label: no minimise button"
  (( !(style & 0x00010000) )) || fail "$label: it has a maximise button"
  (( !(style & 0x00040000) )) || fail "$label: its border can be resized"

  grep -qix 'child=static|Drag emails here!' <<<"$info" || fail "$label: no label 'Drag emails here!'"
  grep -qix 'child=static|(You will be prompted to select a folder to save attachments.)' <<<"$info" ||
    fail "$label: no hint label"

  local rect left top right bottom
  rect=$(value_of rect "$info")
  IFS=, read -r left top right bottom <<<"$rect"
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
    "$outdir/main-window-$label.png"
  echo "screenshot: $outdir/main-window-$label.png"

  local drag
  drag=$("$wine_run" "$prefix" "$dragsource" --window Ostrevin --format CF_TEXT --format CF_UNICODETEXT \
    --timeout 30 | tr -d '\r') || fail "$label: the drag did not run"
  echo "$drag"
  grep -Eq '(^| )effect=0( |$)' <<<"$drag" || fail "$label: a text drag was not refused"

  "$wine_run" "$prefix" "$windowcheck" close Ostrevin >/dev/null || fail "$label: cannot close the window"
  local rc=0
  wait "$pid" || rc=$?
  [ "$rc" -eq 0 ] || fail "$label: ostrevin.exe exited with $rc"

  local visible
  visible=$("$wine_run" "$prefix" "$windowcheck" visible | tr -d '\r')
  [ "$(value_of visible "$visible")" = 0 ] || fail "$label: windows left after exit: $visible"
}

run_scenario plain
run_scenario with-arguments /unknown --option "a b"
echo "PASS: main window"
