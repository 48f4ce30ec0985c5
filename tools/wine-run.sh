#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest and passes its exit code through.
# Usage: wine-run.sh STATE_DIR PROGRAM.exe [ARGS...]
# STATE_DIR holds the Wine prefix (made once) and, when a session is running
# (wine-session.sh start), its display. Whatever this script starts itself it stops again.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh" "$1"
shift

started_xvfb=
started_server=
cleanup() {
    if [ -n "$started_server" ]; then "$lyrabox_wineserver" -k >/dev/null 2>&1; fi
    if [ -n "$started_xvfb" ]; then kill "$lyrabox_xvfb_pid" 2>/dev/null; wait "$lyrabox_xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT

lyrabox_prepare_prefix

if [ -z "${DISPLAY:-}" ]; then
    session_display=$(cat "$lyrabox_state_dir/session.display" 2>/dev/null || true)
    session_pid=$(cat "$lyrabox_state_dir/session.xvfb" 2>/dev/null || true)
    if [ -n "$session_display" ] && [ -n "$session_pid" ] && kill -0 "$session_pid" 2>/dev/null; then
        export DISPLAY=$session_display
    else
        lyrabox_start_xvfb || exit 125
        started_xvfb=1
    fi
fi
if [ ! -f "$lyrabox_state_dir/session.server" ]; then started_server=1; fi

# Wine's own background processes, started by the first program of a
# session, inherit the output descriptors and outlive the program: give them
# a file rather than CTest's pipe, and copy it out afterwards.
output=$(mktemp "$lyrabox_state_dir/run-output.XXXXXX")
timeout -k 5 "${LYRABOX_RUN_TIMEOUT:-540}" "$lyrabox_wine" "$@" </dev/null >"$output" 2>&1
rc=$?
cat "$output"
rm -f "$output"
exit $rc
