#!/usr/bin/env bash
# run-benchmarks.sh - builds ostrevin_bench.exe and runs it under Wine against the stand-in Outlook.
#
#   bench/run-benchmarks.sh [--repeats N]
#
# Builds the benchmark and the stand-in (preset windows, configured first
# when needed) and runs the benchmark on a private Xvfb display in its own
# Wine prefix, build/windows/wineprefix-bench (made once; its user folders
# are real folders, not links to $HOME). The prefix is made on that display
# too: a wineserver left from a session without one keeps every later
# window from opening. The benchmark writes its fixtures and output into
# the prefix's temporary folder and removes them; the table goes to stdout.
# The prefix's wineserver is ended with the display. The machine may be
# shared: compare the figures of one run, not figures across runs.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --on-display ]; then
  [ -f build/windows/build.ninja ] || cmake --preset windows
  cmake --build --preset windows --target ostrevin_bench standin_outlook
  exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" "$0" --on-display "$@"
fi
shift

prefix=$PWD/build/windows/wineprefix-bench
cmake/wine-run.sh "$prefix" cmd /c exit  # makes the prefix once
export WINEPREFIX=$prefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true' EXIT
wine build/windows/bench/ostrevin_bench.exe "$PWD/build/windows/tests/standin/outlook/standin-outlook.exe" "$@" | tr -d '\r'
