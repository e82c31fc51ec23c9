#!/usr/bin/env bash
# run.sh - the demo of Ostrevin's main job under Wine, with the stand-in Outlook.
#
# Builds what is needed, then starts the stand-in Outlook serving the sample
# mailbox (tests/standin/fixtures/sample) and ostrevin.exe in a Wine prefix
# of their own (build/windows/wineprefix-run), with the stand-in MAPI
# provider as the prefix's mail client.
#
# On your display you do the rest: select mails in the "Stand-in Outlook"
# window, drag them onto Ostrevin's black window, pick a folder. Closing
# Ostrevin's window ends the demo.
#
# Without a display it runs on a private Xvfb display and does it itself:
# drags the stand-in's selected mails onto Ostrevin with dragsource.exe,
# answers the folder browser with build/windows/saved-attachments, prints
# the files saved there and keeps a screenshot in build/windows/ostrevin-demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=$root/build/windows

if [ "${1:-}" != --headless ]; then
  ./scripts/install-deps.sh
  [ -f "$bin/build.ninja" ] || cmake --preset windows
  cmake --build --preset windows --target ostrevin standin_outlook standin_control standin_mapi dragsource windowcheck
  if [ -z "${DISPLAY:-}" ]; then
    echo "== no display: running the demo on a private Xvfb display"
    exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" "$0" --headless
  fi
fi

prefix=$bin/wineprefix-run
fixture=$root/tests/standin/fixtures/sample
saved=$bin/saved-attachments

# A Windows path of the Linux host, as Wine shows it.
host_path() { echo "Z:${1//\//\\}"; }
w() { wine "$@" | tr -d '\r'; }

OSTREVIN_MANAGED_WINDOWS=1 "$root/cmake/wine-run.sh" "$prefix" cmd /c exit  # makes the prefix once
export WINEPREFIX=$prefix WINEDEBUG=-all
trap 'w "$bin/tests/standin/outlook/standin-control.exe" quit >/dev/null 2>&1 || true; wineserver -k 2>/dev/null || true' EXIT

echo "== registering the stand-in Outlook with the sample mailbox and the stand-in MAPI provider"
w "$bin/tests/standin/outlook/standin-outlook.exe" /regserver "$(host_path "$fixture")"
w regsvr32 /s "$(host_path "$bin/tests/standin/mapi/standin-mapi.dll")"
mkdir -p "$prefix/drive_c/demo"
printf '%s\r\n' Profile=Outlook DefaultProfile=Outlook >"$prefix/drive_c/demo/mapi.txt"
w reg add 'HKLM\Software\Clients\Mail\Ostrevin Stand-in MAPI' /v ConfigFile /d 'C:\demo\mapi.txt' /f >/dev/null

echo "== starting the stand-in Outlook and ostrevin.exe"
wine "$bin/tests/standin/outlook/standin-outlook.exe" "$(host_path "$fixture")" &
wine "$bin/src/app/ostrevin.exe" &
ostrevin=$!
w "$bin/tests/e2e/windowcheck.exe" find Ostrevin 60 >/dev/null

if [ "${1:-}" != --headless ]; then
  echo "== select mails in \"Stand-in Outlook\", drag them onto Ostrevin's window and pick a folder;"
  echo "   close Ostrevin's window to end"
  wait "$ostrevin" || true
  exit 0
fi

rm -rf "$saved"
mkdir -p "$saved"
echo "== dragging the selected mails ($(w "$bin/tests/standin/outlook/standin-control.exe" selection --wait 30)) onto Ostrevin"
w "$bin/tests/tools/dragsource/dragsource.exe" --window Ostrevin --format RenPrivateSourceFolder \
  --format FileGroupDescriptorW --timeout 60 &
drag=$!
echo "== answering the folder browser with $saved"
w "$bin/tests/e2e/windowcheck.exe" choose-folder "Browse for Folder" "$(host_path "$saved")" 60
wait "$drag"
import -window root "$bin/ostrevin-demo.png" && echo "== screenshot: $bin/ostrevin-demo.png"
echo "== saved in $saved:"
ls -l "$saved"
w "$bin/tests/e2e/windowcheck.exe" close Ostrevin --class TForm1 >/dev/null
wait "$ostrevin" || true
