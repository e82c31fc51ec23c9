#!/usr/bin/env bash
# save_attachments.sh - the main job end to end: mails dragged from the stand-in Outlook, attachments saved.
#
#   save_attachments.sh PREFIX WINE_RUN BIN_DIR FIXTURES_DIR
#
# BIN_DIR is the Windows build tree. Under Xvfb, in its own Wine prefix, each
# scenario starts with a fresh Wine session (wineserver ended), no settings
# key, an empty output folder, the stand-in Outlook registered with the
# scenario's fixture (FIXTURES_DIR/<name>) and the stand-in MAPI provider
# with a fresh configuration; then it starts ostrevin.exe, drags onto its
# window with dragsource.exe and answers the folder browser from outside.
# Attachments are saved on the prefix's desktop, the folder the browser
# offers; Documents points there too, in case Wine's browser reports that.
set -euo pipefail

if [ "${1:-}" != --on-display ]; then
  exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" bash "$0" --on-display "$@"
fi
shift
prefix=$1 wine_run=$2 bin=$3 fixtures=$4

ostrevin=$bin/src/app/ostrevin.exe
dragsource=$bin/tests/tools/dragsource/dragsource.exe
windowcheck=$bin/tests/e2e/windowcheck.exe
standin=$bin/tests/standin/outlook/standin-outlook.exe
control=$bin/tests/standin/outlook/standin-control.exe
standin_mapi=$bin/tests/standin/mapi/standin-mapi.dll

settings_key='HKCU\Software\Halvorn\VemKarto\ZereZirurodAvav'
browser='Browse for Folder'
progress='Please Wait...'

"$wine_run" "$prefix" cmd /c exit  # makes the prefix once
export WINEPREFIX=$prefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true' EXIT

user_dir=$(ls -d "$prefix"/drive_c/users/* | grep -v /Public | head -n 1)
out=$user_dir/Desktop
out_win="C:\\users\\$(basename "$user_dir")\\Desktop"
mapi_config=$prefix/drive_c/e2e/mapi.txt
mapi_record=$prefix/drive_c/e2e/mapi-record.txt
mkdir -p "$prefix/drive_c/e2e"

fail() {
  echo "FAIL: $scenario: $*" >&2
  exit 1
}

# A Windows path of the Linux host, as Wine shows it.
host_path() { echo "Z:${1//\//\\}"; }

w() { wine "$@" | tr -d '\r'; }

# --- One scenario's world ----------------------------------------------------

ostrevin_pid=

# begin NAME FIXTURE [MAPI CONFIGURATION LINES...]
begin() {
  scenario=$1
  local fixture=$2
  shift 2
  echo "== $scenario"
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$out" "$user_dir/Documents" "$mapi_record"
  mkdir -p "$out"
  ln -s Desktop "$user_dir/Documents"
  w reg delete 'HKCU\Software\Halvorn' /f >/dev/null 2>&1 || true
  w "$standin" /regserver "$(host_path "$fixtures/$fixture")" || fail "the stand-in refuses fixture $fixture"
  w regsvr32 /s "$(host_path "$standin_mapi")"
  w reg add 'HKLM\Software\Clients\Mail\Ostrevin Stand-in MAPI' /v ConfigFile /d 'C:\e2e\mapi.txt' /f >/dev/null
  printf '%s\r\n' "Profile=Outlook" "DefaultProfile=Outlook" 'RecordFile=C:\e2e\mapi-record.txt' "$@" >"$mapi_config"
}

start_ostrevin() {
  wine "$ostrevin" &
  ostrevin_pid=$!
  w "$windowcheck" find Ostrevin 60 >/dev/null || fail "no window captioned Ostrevin"
}

# Closes ostrevin.exe and expects a clean exit; ends a stand-in it leaves.
end() {
  w "$windowcheck" close Ostrevin --class TForm1 >/dev/null || fail "cannot close the window"
  local rc=0
  wait "$ostrevin_pid" || rc=$?
  [ "$rc" -eq 0 ] || fail "ostrevin.exe exited with $rc"
  if [ "$(w "$control" running)" = 1 ]; then w "$control" quit || true; fi
  echo "PASS: $scenario"
}

# drag [DRAGSOURCE OPTIONS...]: a drag of Outlook's format onto the window,
# in the background; its report line goes to $drag_report.
drag_report=$prefix/drive_c/e2e/drag.txt
drag_pid=
drag() {
  w "$dragsource" --window Ostrevin --format RenPrivateSourceFolder --format FileGroupDescriptorW \
    --timeout 60 "$@" >"$drag_report" &
  drag_pid=$!
}
# Waits for the drag's end (not in a subshell: the drag is this shell's
# job) and puts its report line into $report.
report=
drag_result() {
  local rc=0
  wait "$drag_pid" || rc=$?
  report=$(cat "$drag_report")
  [ "$rc" -eq 0 ] || fail "the drag ended with exit code $rc: $report"
}
expect_refused() {
  drag_result
  grep -q 'effect=0 ' <<<"$report" || fail "the drag was not refused: $report"
}
expect_dropped() {
  drag_result
  grep -q 'dropped=yes' <<<"$report" || fail "the drop did not happen: $report"
}
# Answers the folder browser with the output folder.
choose_output() { w "$windowcheck" choose-folder "$browser" "$out_win" 30 || fail "the folder browser did not come"; }

# The files saved, one "name=content" line each, sorted.
saved() {
  local file
  for file in "$out"/*; do
    [ -e "$file" ] || continue
    printf '%s=%s\n' "$(basename "$file")" "$(cat "$file")"
  done | LC_ALL=C sort
}
expect_saved() {
  local expected actual
  expected=$(printf '%s\n' "$@" | LC_ALL=C sort)
  actual=$(saved)
  [ "$actual" = "$expected" ] || fail "saved files differ: expected [$expected], got [$actual]"
}

# The broker's use count is back at 0: the session window's "In Use" label
# is hidden (its timer refreshes it every 300 ms).
expect_unused() {
  sleep 0.7
  local controls
  controls=$(w "$windowcheck" controls TZereZirurodAvavLaunchForm) || fail "no session window"
  grep -q '^control=Static|In Use|visible=0|' <<<"$controls" || fail "the session is still in use: $controls"
}

record_has() { [ -f "$mapi_record" ] && grep -q "^\[$1\]" "$mapi_record"; }

# --- The scenarios -------------------------------------------------------------

begin numbering numbering
printf 'old' >"$out/README"
start_ostrevin
drag
choose_output
expect_dropped
expect_saved 'a.txt=one' 'a (2).txt=two' 'a (3).txt=three' 'README=old' 'README (2)=new readme'
expect_unused
rm -f "$out"/*
printf 'old' >"$out/a.txt"
w "$control" select "1,2"
drag
choose_output
expect_dropped
expect_saved 'a.txt=old' 'a (2).txt=one' 'a (3).txt=two'
end

begin first-run-settings single
start_ostrevin
drag
choose_output
expect_dropped
values=$(w reg query "$settings_key")
for name in UseMapi Profile ContactsFolder TasksFolder CalendarFolder ImportCompletedTasksAndAppts; do
  grep -q "^ *$name " <<<"$values" || fail "the settings key lacks $name: $values"
done
grep -q 'ContactsFolder *REG_SZ *Mailbox - E2E/Contacts' <<<"$values" || fail "the contacts folder: $values"
record_has MAPILogonEx || fail "no MAPI logon with the switch on"
end

begin other-formats single
start_ostrevin
w "$dragsource" --window Ostrevin --format CF_TEXT --format CF_UNICODETEXT --timeout 30 >"$drag_report" &
drag_pid=$!
expect_refused
[ "$(w "$control" running)" = 0 ] || fail "the stand-in was started"
! w "$windowcheck" controls TZereZirurodAvavLaunchForm >/dev/null || fail "a session window was made"
end

begin non-mail-quick nonmail-quick
start_ostrevin
drag
expect_refused
expect_unused
end

begin non-mail-slow nonmail-slow
start_ostrevin
drag
choose_output
w "$windowcheck" find "$progress" 30 --class TVemCancelableForm >/dev/null || fail "no progress window"
w "$windowcheck" gone "$progress" 30 --class TVemCancelableForm || fail "the progress window stayed"
expect_dropped
expect_saved
expect_unused
end

begin folder-dialog-cancelled single
start_ostrevin
drag --leave
drag_result
expect_unused
drag
w "$windowcheck" click "$browser" Cancel 30 || fail "the folder browser did not come"
drag_result
expect_saved
! w "$windowcheck" find "$progress" 1 --class TVemCancelableForm >/dev/null || fail "a progress window is open"
expect_unused
end

begin progress-cancelled cancel
start_ostrevin
drag
choose_output
w "$windowcheck" find "$progress" 30 --class TVemCancelableForm >/dev/null || fail "no progress window"
for _ in $(seq 100); do [ -e "$out/mail1.txt" ] && break; sleep 0.1; done
w "$windowcheck" click "$progress" Cancel 10 --class TVemCancelableForm || fail "no Cancel button"
drag_result
count=$(ls "$out" | wc -l)
{ [ "$count" -ge 1 ] && [ "$count" -le 2 ]; } || fail "cancelling kept $count files: $(ls "$out")"
[ "$(cat "$out/mail1.txt")" = 1 ] || fail "the first file is damaged"
! w "$windowcheck" find Ostrevin 1 --class '#32770' >/dev/null || fail "cancelling showed an error"
expect_unused
end

begin save-fails failing
start_ostrevin
drag
choose_output
shown=$(w "$windowcheck" find Ostrevin 30 --class '#32770') || fail "the failure was not reported"
grep '^child=Static' <<<"$shown" || true
w "$windowcheck" click Ostrevin OK 10 --class '#32770' || fail "cannot dismiss the report"
drag_result
expect_saved 'saved.txt=saved'
expect_unused
end

begin hostile-names hostile
printf 'keep' >"$out/report.txt"
win_ini=$(md5sum <"$prefix/drive_c/windows/win.ini")
start_ostrevin
drag
choose_output
expect_dropped
[ "$(cat "$out/report.txt")" = keep ] || fail "report.txt was overwritten"
count=$(ls "$out" | wc -l)
[ "$count" -eq 15 ] || fail "expected 14 new files besides report.txt, got $count: $(ls "$out")"
for name in evil.txt win.ini up.txt stream.txt _CON _lpt1.txt Attachment 'Attachment (2)' end \
  'q_u_o_t_e_s_d.txt' 'half _ pair.txt' 'Report (2).TXT' 'report (3).txt'; do
  [ -f "$out/$name" ] || fail "no file $name: $(ls "$out")"
done
long=$(ls "$out" | grep '^nnnn')
[[ "$long" == *.pdf ]] || fail "the long name lost its extension: $long"
escaped=$(find "$prefix/drive_c" \( -name evil.txt -o -name up.txt -o -name 'stream.txt' -o -name 'a' \) \
  -not -path "$out/*")
[ -z "$escaped" ] || fail "files written outside the folder: $escaped"
[ "$(md5sum <"$prefix/drive_c/windows/win.ini")" = "$win_ini" ] || fail "win.ini was changed"
expect_unused
end

begin outlook-crashed-between-drags single
start_ostrevin
drag
choose_output
expect_dropped
first_pid=$(w "$control" pid)
w "$control" crash
w "$control" wait-exit "$first_pid" || fail "the stand-in did not end"
drag
choose_output
expect_dropped
expect_saved 'a.txt=single' 'a (2).txt=single'
[ "$(w "$control" pid)" != "$first_pid" ] || fail "no new stand-in"
expect_unused
end

begin outlook-quits-during-drag single
start_ostrevin
go=$prefix/drive_c/e2e/go
rm -f "$go"
w "$dragsource" --window Ostrevin --format RenPrivateSourceFolder --leave --hold-until 'C:\e2e\go' \
  --timeout 60 >"$drag_report" &
drag_pid=$!
for _ in $(seq 300); do grep -q holding "$drag_report" 2>/dev/null && break; sleep 0.1; done
for _ in $(seq 100); do record_has MAPILogonEx && break; sleep 0.1; done
record_has MAPILogonEx || fail "the drag did not take the session"
quit_pid=$(w "$control" pid)
w "$control" quit
w "$control" wait-exit "$quit_pid" || fail "the stand-in did not quit"
sleep 0.5
! record_has Logoff || fail "logged off while the drag held the session"
touch "$go"
drag_result
for _ in $(seq 50); do record_has Logoff && break; sleep 0.1; done
record_has Logoff || fail "no log-off when the drag ended"
! w "$windowcheck" find Ostrevin 1 --class '#32770' >/dev/null || fail "logging off the gone Outlook showed an error"
expect_unused
end

begin mapi-switched-off single
w reg add "$settings_key" /v UseMapi /t REG_DWORD /d 0 /f >/dev/null
start_ostrevin
drag
choose_output
expect_dropped
expect_saved 'a.txt=single'
! record_has MAPILogonEx || fail "MAPI logged on with the switch off"
end

begin mapi-failing single 'LogonResult=0x80040111'
start_ostrevin
drag
expect_refused
drag
expect_refused
! w "$windowcheck" find Ostrevin 1 --class '#32770' >/dev/null || fail "a refused drag showed an error"
expect_unused
end

echo "PASS: saving attachments"
