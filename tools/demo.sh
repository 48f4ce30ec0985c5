#!/usr/bin/env bash
# make demo: the demo server on loopback and Lyrabox under Wine.
# With a display, Lyrabox opens on it for you to use. Without one, it runs on
# a private Xvfb, a driver looks up 10001 and saves the lists, the saved file
# is printed (UTF-8) and a screenshot is written to build/demo/lyrabox-demo.png.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
here="$top/tools"
state="$top/build/win64/wine"
out="$top/build/demo"
mkdir -p "$out"
. "$here/wine-env.sh" "$state"
lyrabox_prepare_prefix

server_pid=
xvfb_started=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    "$lyrabox_wineserver" -k >/dev/null 2>&1
    [ -n "$xvfb_started" ] && kill "$lyrabox_xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

"$top/build/host/tools/demo_server" --port 18080 >"$out/server.log" 2>&1 &
server_pid=$!

exe="$top/build/win64/app/lyrabox.exe"
if [ -n "${DISPLAY:-}" ]; then
    echo "Lyrabox is running on $DISPLAY against the demo server (numbers 10001, 10002, 10003)."
    "$lyrabox_wine" "$exe"
    exit 0
fi

lyrabox_start_xvfb || exit 1
xvfb_started=1
rm -f "$out/shot.done" "$out/driver.log"
driver="$top/build/win64/tools/lyrabox_demo_driver.exe"
windows_path() { local p="Z:$1"; echo "${p//\//\\}"; }
"$lyrabox_wine" "$driver" "$(windows_path "$exe")" 10001 "$(windows_path "$out/shot.done")" >"$out/driver.log" 2>&1 &
driver_pid=$!
for _ in $(seq 1 600); do
    grep -q READY-FOR-SCREENSHOT "$out/driver.log" 2>/dev/null && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.1
done
if grep -q READY-FOR-SCREENSHOT "$out/driver.log"; then
    import -window root "$out/lyrabox-demo.png" && echo "Screenshot: $out/lyrabox-demo.png"
fi
touch "$out/shot.done"
wait "$driver_pid"
rc=$?
grep -v READY-FOR-SCREENSHOT "$out/driver.log"
exit $rc
