#!/usr/bin/env bash
# Starts or stops the display and the Wine server that a whole test run shares.
# Usage: wine-session.sh start|stop STATE_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
action=$1
. "$here/wine-env.sh" "$2"

case "$action" in
start)
    lyrabox_prepare_prefix
    if [ -z "${DISPLAY:-}" ]; then
        lyrabox_start_xvfb || exit 1
        echo "$lyrabox_xvfb_pid" >"$lyrabox_state_dir/session.xvfb"
        echo "$DISPLAY" >"$lyrabox_state_dir/session.display"
    fi
    "$lyrabox_wineserver" -p </dev/null >/dev/null 2>&1
    echo 1 >"$lyrabox_state_dir/session.server"
    # Start Wine's background services now, away from the caller's output.
    "$lyrabox_wine" wineboot </dev/null >/dev/null 2>&1
    ;;
stop)
    if [ -f "$lyrabox_state_dir/session.server" ]; then
        "$lyrabox_wineserver" -k >/dev/null 2>&1
        rm -f "$lyrabox_state_dir/session.server"
    fi
    pid=$(cat "$lyrabox_state_dir/session.xvfb" 2>/dev/null || true)
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; fi
    rm -f "$lyrabox_state_dir/session.xvfb" "$lyrabox_state_dir/session.display"
    ;;
*)
    echo "usage: wine-session.sh start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
