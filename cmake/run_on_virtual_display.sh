#!/usr/bin/env bash
# Runs a Windows test program under Wine on a virtual X display of its own, so that tests never
# touch the user's display and windows can be made wherever the tests run, and always cleans up
# the display and the prefix's wineserver.
#
# usage: run_on_virtual_display.sh DEPTH DRIVER [DRIVER ARGUMENTS...]
#   DEPTH   colour depth of the virtual screen: 24, or 8 for a palette display
#   DRIVER  the Windows program; WINEPREFIX and the other Wine settings come from the caller
set -u

if [ $# -lt 2 ]; then
    echo "usage: $0 DEPTH DRIVER [ARGS...]" >&2
    exit 2
fi
depth=$1
driver=$2
shift 2
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix of the build}"
# Seconds the driver may take before it is stopped.
limit=${TEST_TIME_LIMIT:-420}

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-display.XXXXXX")
xvfb_pid=""

stop_wine() {
    timeout 15 wineserver -k >/dev/null 2>&1
    timeout 15 wineserver -w >/dev/null 2>&1
}

cleanup() {
    stop_wine
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        for _ in $(seq 50); do
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A wineserver still running for this prefix would keep the display it was started with.
stop_wine

Xvfb -displayfd 3 -screen 0 "1024x768x${depth}" -nolisten tcp -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "virtual display: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
display=":$(head -n1 "$work/display")"
echo "virtual display: virtual display $display at ${depth} bits per pixel"

unset WAYLAND_DISPLAY XAUTHORITY
export DISPLAY="$display" E2E_DEPTH="$depth"
# There is no window manager: Wine draws frames and captions itself, as a person would see them.
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
timeout -k 10 "$limit" wine "$driver" "$@"
status=$?
if [ "$status" -eq 124 ]; then
    echo "virtual display: the driver did not finish within ${limit} s" >&2
fi
exit "$status"
