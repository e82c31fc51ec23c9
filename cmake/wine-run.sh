#!/bin/sh
# wine-run.sh - runs a Windows test program under Wine in the build's own prefix.
#
#   wine-run.sh PREFIX PROGRAM [ARGS...]
#
# PREFIX is made once (wineboot) and reused by every later run; a lock keeps
# parallel test runs from making it twice. A new prefix links Desktop,
# Documents and the other user folders to $HOME: they are replaced by real
# folders so that no test can write into the developer's home folder.
# With OSTREVIN_XVFB=1 the program runs on a private Xvfb display, and the
# prefix's wineserver is ended with that display (a wineserver that outlives
# its display blocks every later window of the prefix). Windows of a test
# prefix are not handed to an X window manager (there is none on Xvfb, and
# waiting for one costs a second each time a window is hidden); with
# OSTREVIN_MANAGED_WINDOWS=1 a new prefix keeps them managed, for people.
set -eu

prefix=$1
shift

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.ostrevin-ready" ]; then
    rm -rf "$prefix"
    WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        wineboot --init >/dev/null 2>&1
    if [ "${OSTREVIN_MANAGED_WINDOWS:-0}" != 1 ]; then
        WINEPREFIX=$prefix WINEDEBUG=-all \
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    fi
    WINEPREFIX=$prefix wineserver -w
    for folder in "$prefix"/drive_c/users/*/*; do
        if [ -L "$folder" ]; then
            rm "$folder"
            mkdir "$folder"
        fi
    done
    touch "$prefix/.ostrevin-ready"
fi
flock -u 9
exec 9>&-

export WINEPREFIX="$prefix"
export WINEDEBUG=-all

if [ "${OSTREVIN_XVFB:-0}" = 1 ]; then
    exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
        sh -c 'rc=0; wine "$@" || rc=$?; wineserver -k 2>/dev/null || true; exit $rc' sh "$@"
fi
exec wine "$@"
