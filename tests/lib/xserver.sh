# What the test scripts share: skip and fail, a work folder with a private
# home, polling, the clean-up of everything they started, and for those that
# need one an X server on a free display. Sourced, not run:
#
#   . "$(dirname "$0")/../lib/xserver.sh"
#   require_tools "xvfb, xdotool" Xvfb xdotool
#   require_fixed_date       # then: (on_fixed_date PROGRAM ARGUMENT...) &
#   make_work p95-e2e        # $work, with HOME, XDG_* and drive C inside it
#   start_x                  # DISPLAY names a fresh Xvfb; stop_x ends it
#   on_exit stop_app         # more clean-up, run first when the script ends
#
# Exit 77 is "skipped" to CTest (SKIP_RETURN_CODE 77).

skip() {
    echo "SKIPPED: $*"
    exit 77
}
# app_log, when a script sets it, is the program's output, shown on failure.
fail() {
    echo "FAILED: $*" >&2
    if [ -n "${app_log:-}" ] && [ -s "$app_log" ]; then
        echo "--- program output" >&2
        tail -n 20 "$app_log" >&2
    fi
    exit 1
}

# require_tools "PACKAGES" TOOL...: skipped, naming the packages, when a tool is missing.
require_tools() {
    local packages=$1 tool
    shift
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (packages $packages)"
    done
}

# The programs run on a fixed date (no 12 January tune) through libfaketime.
# A process that loads it may leave a shared-memory file and a semaphore named
# after its process id in /dev/shm (one that is killed always does), and a
# later process with the same id then cannot start. require_fixed_date exports
# the library as P95_FIXED_DATE_LIB (a driver that starts the program sets it
# as LD_PRELOAD, with FAKETIME) and sweeps away such files of processes that
# have ended, now and when the script ends.
require_fixed_date() {
    P95_FIXED_DATE_LIB=$(ls /usr/lib/*/faketime/libfaketimeMT.so.1 2>/dev/null | head -n 1)
    [ -n "$P95_FIXED_DATE_LIB" ] || skip "libfaketime is not installed (package faketime)"
    export P95_FIXED_DATE_LIB
    sweep_fixed_date_files
    on_exit sweep_fixed_date_files
}
sweep_fixed_date_files() {
    local file
    for file in /dev/shm/faketime_shm_* /dev/shm/sem.faketime_sem_*; do
        [ -e "$file" ] && [ ! -d "/proc/${file##*_}" ] && rm -f "$file" 2>/dev/null
    done
    return 0
}
# on_fixed_date COMMAND...: becomes the command, on the fixed date; run it in
# the background or a subshell, so that $! is the program itself.
on_fixed_date() {
    LD_PRELOAD="$P95_FIXED_DATE_LIB" FAKETIME='@2026-03-03 12:00:00' DONT_FAKE_MONOTONIC=1 \
        exec "$@"
}

# Polls a command until it succeeds: poll SECONDS COMMAND...
poll() {
    local tries=$(($1 * 20))
    shift
    while [ "$tries" -gt 0 ]; do
        "$@" && return 0
        sleep 0.05
        tries=$((tries - 1))
    done
    return 1
}

work=
xvfb_pid=
_exit_hooks=()
# on_exit COMMAND: run when the script ends, the latest first, before the X
# server is stopped and the work folder removed.
on_exit() {
    _exit_hooks=("$1" "${_exit_hooks[@]}")
}
_clean_up() {
    local hook
    for hook in "${_exit_hooks[@]}"; do
        "$hook"
    done
    stop_x
    [ -n "$work" ] && rm -rf "$work"
}
trap _clean_up EXIT
trap 'exit 1' INT TERM

# make_work NAME: a fresh work folder, and a private home in it for everything
# the program, Qt or a sound client might write; no sound server unless a
# script starts one; drive C inside it too.
make_work() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX") || fail "cannot make a work folder"
    export HOME="$work/home"
    export XDG_RUNTIME_DIR="$work/runtime"
    export XDG_CONFIG_HOME="$work/home/.config"
    export XDG_DATA_HOME="$work/home/.local/share"
    export XDG_CACHE_HOME="$work/home/.cache"
    export PULSE_SERVER="unix:$work/no-sound-server"
    export PALETTEER95_DRIVE_C="$work/drive_c"
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_STYLE_OVERRIDE
}

x_answers() {
    xdotool getdisplaygeometry >/dev/null 2>&1
}
stop_x() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    fi
}
# An X server of our own on a free display (-displayfd picks it), exported as
# DISPLAY. Servers started at the same moment by other test runs can disturb
# each other's sockets while they pick their displays, so one that does not
# answer is replaced. -noreset: a server that resets when its last client
# leaves (the probe) refuses connections for a moment, and the program may
# come then.
start_x() {
    local attempt number fifo="$work/displayfd"
    for attempt in 1 2 3; do
        rm -f "$fifo"
        mkfifo "$fifo"
        Xvfb -noreset -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" 2>"$work/xvfb.log" &
        xvfb_pid=$!
        number=
        # Xvfb writes the display number once it accepts connections.
        read -r -t 15 number <"$fifo" || fail "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
        export DISPLAY=":$number"
        poll 5 x_answers && return 0
        echo "Xvfb on $DISPLAY does not answer (attempt $attempt)" >&2
        stop_x
    done
    fail "no X server could be started"
}
