# Shared by wine-run.sh and wine-session.sh: the Wine prefix and display of one build folder.
# Usage: source wine-env.sh STATE_DIR
# LYRABOX_DPI (say 144) runs Wine at another display DPI, in a prefix of its
# own beside the one of STATE_DIR, so the tests' prefix stays at 96.
lyrabox_state_dir=$1
lyrabox_dpi=${LYRABOX_DPI:-96}
if [ "$lyrabox_dpi" != 96 ]; then lyrabox_state_dir="$1-dpi$lyrabox_dpi"; fi
mkdir -p "$lyrabox_state_dir"
lyrabox_state_dir=$(cd "$lyrabox_state_dir" && pwd)
export WINEPREFIX="$lyrabox_state_dir/prefix"
export WINEDEBUG=-all
# LYRABOX_WINEDLLOVERRIDES adds overrides of the caller's ("vbscript=" takes VBScript away).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${LYRABOX_WINEDLLOVERRIDES:+;$LYRABOX_WINEDLLOVERRIDES}"
export WINEARCH=win64

lyrabox_wine=$(command -v wine64 || true)
[ -n "$lyrabox_wine" ] || lyrabox_wine=/usr/lib/wine/wine64
lyrabox_wineserver=$(command -v wineserver || true)
[ -n "$lyrabox_wineserver" ] || lyrabox_wineserver=/usr/lib/wine/wineserver

# Creates the prefix once; later callers wait on the lock and reuse it.
lyrabox_prepare_prefix() {
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.lyrabox-ready" ]; then
            "$lyrabox_wine" wineboot -i >/dev/null 2>&1
            "$lyrabox_wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
            for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "SimSun"; do
                "$lyrabox_wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                    /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1
            done
            if [ "$lyrabox_dpi" != 96 ]; then
                "$lyrabox_wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$lyrabox_dpi" /f \
                    >/dev/null 2>&1
            fi
            "$lyrabox_wineserver" -w
            touch "$WINEPREFIX/.lyrabox-ready"
        fi
    ) 9>"$lyrabox_state_dir/prefix.lock"
}

# Starts Xvfb on a free display number; sets lyrabox_xvfb_pid and DISPLAY.
lyrabox_start_xvfb() {
    local fdfile="$lyrabox_state_dir/display.$$"
    rm -f "$fdfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    lyrabox_xvfb_pid=$!
    local i
    for i in $(seq 1 200); do
        if [ -s "$fdfile" ]; then break; fi
        if ! kill -0 "$lyrabox_xvfb_pid" 2>/dev/null; then break; fi
        sleep 0.05
    done
    if [ ! -s "$fdfile" ]; then
        echo "wine-env: Xvfb did not start" >&2
        kill "$lyrabox_xvfb_pid" 2>/dev/null
        return 1
    fi
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
}
