#!/usr/bin/env bash
# The real program on a virtual X server with a D-Bus session bus and Qt's
# accessibility on; atspi_driver.py looks at it through the accessibility bus
# and works it with xdotool key events only.
#
#   atspi_test.sh tree|walk PATH/TO/paletteer95
#
# Exit 77 (skipped), saying why, when a tool is missing. Every server started
# here is stopped by the trap.
set -u

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

[ $# -eq 2 ] || { echo "usage: $0 tree|walk PATH/TO/paletteer95" >&2; exit 2; }
mode=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
[ -x "$program" ] || fail "no program at $program"
for tool in Xvfb xdotool faketime dbus-run-session; do
    command -v "$tool" >/dev/null 2>&1 ||
        skip "$tool is not installed (packages xvfb, xdotool, faketime, dbus-daemon)"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "no accessibility bus (package at-spi2-core)"
# Debian's bindings belong to Debian's Python, whatever python3 comes first on the PATH.
python=/usr/bin/python3
"$python" -c 'import pyatspi' 2>/dev/null || skip "no pyatspi for $python (package python3-pyatspi)"

work=$(mktemp -d "${TMPDIR:-/tmp}/p95-atspi.XXXXXX") || fail "cannot make a work folder"
xvfb_pid=
driver_pid=
stop_pulse() {
    local pidfile="$work/runtime/pulse/pid" pid
    [ -f "$pidfile" ] || return 0
    pid=$(cat "$pidfile")
    kill "$pid" 2>/dev/null
    for _ in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
}
cleanup() {
    stop_pulse
    if [ -n "$driver_pid" ]; then
        kill "$driver_pid" 2>/dev/null
        wait "$driver_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A private home for everything the program or Qt might write.
export HOME="$work/home"
export XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache"
export PULSE_SERVER="unix:$work/no-sound-server"
export PULSE_RUNTIME_PATH="$work/runtime/pulse"
export PALETTEER95_DRIVE_C="$work/drive_c"
export P95_WORK="$work"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_STYLE_OVERRIDE DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

# The walk plays a sound: a private sound server with a silent sink, where the
# driver sees the program's stream while it plays.
if [ "$mode" = walk ]; then
    for tool in pulseaudio pactl; do
        command -v "$tool" >/dev/null 2>&1 ||
            skip "$tool is not installed (packages pulseaudio, pulseaudio-utils)"
    done
    unset PULSE_SERVER
    pulseaudio -n --daemonize=yes --exit-idle-time=-1 --system=no \
        --log-target="file:$work/pulse.txt" \
        --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=testsink" \
        --load=module-always-sink 2>"$work/pulse.err" ||
        skip "the PulseAudio server did not start: $(grep -v '^W:' "$work/pulse.err" | tail -n 2)"
    for _ in $(seq 50); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl set-default-sink testsink >/dev/null 2>&1 || skip "the PulseAudio server does not answer"
fi

# An X server of our own on a free display. One that does not answer, or that
# goes away under the program (servers started at the same moment by other
# runs can disturb each other's sockets), is replaced.
x_answers() {
    local tries=100
    while [ "$tries" -gt 0 ]; do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.05
        tries=$((tries - 1))
    done
    return 1
}
stop_x() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    fi
}
start_x() {
    local attempt fifo="$work/displayfd" number
    for attempt in 1 2 3; do
        rm -f "$fifo"
        mkfifo "$fifo"
        # -noreset: a server that resets when its last client leaves (the probe
        # below) refuses connections for a moment, and the program may come then.
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" 2>"$work/xvfb.log" &
        xvfb_pid=$!
        number=
        read -r -t 15 number <"$fifo" || fail "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
        export DISPLAY=":$number"
        x_answers && return 0
        echo "Xvfb on $DISPLAY does not answer (attempt $attempt)" >&2
        stop_x
    done
    fail "no X server could be started"
}

# The session bus, and the accessibility bus it starts on demand, end with the
# driver. Status 3 from the driver: the display went away; once more on a new one.
for run in 1 2 3 4; do
    start_x
    dbus-run-session -- "$python" "$here/atspi_driver.py" "$mode" "$program" &
    driver_pid=$!
    wait "$driver_pid"
    status=$?
    driver_pid=
    stop_x
    [ "$status" -eq 3 ] || break
    echo "run $run: the display went away; again on a new X server" >&2
done
if [ "$status" -ne 0 ]; then
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "--- $(basename "$log")" >&2; tail -n 20 "$log" >&2; }
    done
fi
[ "$status" -eq 3 ] && fail "the X server kept going away"
exit "$status"
