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
. "$(cd "$(dirname "$0")" && pwd)/../lib/xserver.sh"
. "$(cd "$(dirname "$0")" && pwd)/../lib/pulse.sh"

[ $# -eq 2 ] || { echo "usage: $0 tree|walk PATH/TO/paletteer95" >&2; exit 2; }
mode=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
[ -x "$program" ] || fail "no program at $program"
require_tools "xvfb, xdotool, dbus-daemon" Xvfb xdotool dbus-run-session
require_fixed_date
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "no accessibility bus (package at-spi2-core)"
# Debian's bindings belong to Debian's Python, whatever python3 comes first on the PATH.
python=/usr/bin/python3
"$python" -c 'import pyatspi' 2>/dev/null || skip "no pyatspi for $python (package python3-pyatspi)"

make_work p95-atspi
export P95_WORK="$work"
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

# The walk plays a sound: a private sound server with a silent sink, where the
# driver sees the program's stream while it plays.
[ "$mode" = walk ] && start_pulse

driver_pid=
stop_driver() {
    if [ -n "$driver_pid" ]; then
        kill "$driver_pid" 2>/dev/null
        wait "$driver_pid" 2>/dev/null
    fi
}
on_exit stop_driver

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
