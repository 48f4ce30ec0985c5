#!/usr/bin/env bash
# Takes a screenshot of the Xvfb display that a Windows program runs on.
#
# Usage: screenshot.sh [-s STATE_DIR] [-t TITLE] OUT.png [PROGRAM.exe [ARGS...]]
#   Without a program: shoots $DISPLAY, or the display of the Wine session of
#   STATE_DIR (wine-session.sh start; default build/win64/wine).
#   With a program: starts a private Xvfb, runs the program under Wine with
#   the prefix of STATE_DIR, waits (up to 30 s) for a window whose title is
#   TITLE (default "Lyrabox") to be mapped, shoots, and stops the program.
set -u
here=$(cd "$(dirname "$0")" && pwd)
state_dir="$here/../build/win64/wine"
title=Lyrabox
while getopts "s:t:" option; do
    case $option in
    s) state_dir=$OPTARG ;;
    t) title=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { echo "usage: screenshot.sh [-s STATE_DIR] [-t TITLE] OUT.png [PROGRAM.exe [ARGS...]]" >&2; exit 2; }
out=$1
shift

. "$here/wine-env.sh" "$state_dir"

if [ $# -eq 0 ]; then
    if [ -z "${DISPLAY:-}" ]; then
        DISPLAY=$(cat "$lyrabox_state_dir/session.display" 2>/dev/null || true)
        [ -n "$DISPLAY" ] || { echo "screenshot.sh: no DISPLAY and no running session" >&2; exit 1; }
        export DISPLAY
    fi
    exec import -window root "$out"
fi

lyrabox_prepare_prefix
unset DISPLAY
lyrabox_start_xvfb || exit 1
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; fi
    "$lyrabox_wineserver" -k >/dev/null 2>&1
    kill "$lyrabox_xvfb_pid" 2>/dev/null
    wait "$lyrabox_xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

"$lyrabox_wine" "$@" </dev/null >/dev/null 2>&1 &
program_pid=$!

# The window is there once X lists it as viewable under its title.
shown=
for _ in $(seq 1 300); do
    if xwininfo -root -tree 2>/dev/null | grep -F "\"$title\"" >/dev/null; then
        id=$(xwininfo -root -tree | grep -F "\"$title\"" | head -n1 | awk '{print $1}')
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then shown=1; break; fi
    fi
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$shown" ] || { echo "screenshot.sh: no window titled \"$title\" appeared" >&2; exit 1; }
# Let the first paint land: wait until two shots in a row are the same.
previous=
for _ in $(seq 1 50); do
    import -window root "$out" || exit 1
    current=$(md5sum <"$out")
    [ "$current" = "$previous" ] && exit 0
    previous=$current
    sleep 0.2
done
exit 0
