#!/usr/bin/env bash
# Runs the playback test program against a private PulseAudio server whose
# only sink is a null sink, so that what the program plays can be recorded
# from its monitor. Exit 77 (skipped, with the reason) when no server can be
# started here; the server is stopped on every way out.
#
#   playback_test.sh PATH/TO/p95_playback_tests [gtest options]
set -u

skip() {
    echo "SKIPPED: $*"
    exit 77
}

[ $# -ge 1 ] || { echo "usage: $0 TEST_PROGRAM [options]" >&2; exit 2; }
program=$1
shift

for tool in pulseaudio pactl parec; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (packages pulseaudio, pulseaudio-utils)"
done

runtime=$(mktemp -d "${TMPDIR:-/tmp}/p95-pulse.XXXXXX") || skip "cannot make a runtime folder"
# A private server: its own runtime folder, home (for its cookie) and socket,
# never the user's session server.
export XDG_RUNTIME_DIR="$runtime"
export PULSE_RUNTIME_PATH="$runtime/pulse"
export HOME="$runtime"
unset PULSE_SERVER PULSE_SINK PULSE_SOURCE

stop_server() {
    local pidfile="$PULSE_RUNTIME_PATH/pid"
    if [ -f "$pidfile" ]; then
        local pid
        pid=$(cat "$pidfile")
        kill "$pid" 2>/dev/null
        for _ in $(seq 20); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
    fi
    rm -rf "$runtime"
}
trap stop_server EXIT

# As root the server must be told it is a per-user one (--system=no); it then
# only warns.
if ! pulseaudio -n --daemonize=yes --exit-idle-time=-1 --system=no \
        --log-target="file:$runtime/pulse.log" \
        --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=testsink" \
        --load=module-always-sink 2>"$runtime/pulse.err"; then
    skip "the PulseAudio server did not start: $(cat "$runtime/pulse.err" "$runtime/pulse.log" 2>/dev/null | grep -v '^W:' | tail -n 3 | tr '\n' ' ')"
fi
for _ in $(seq 50); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl info >/dev/null 2>&1 || skip "the PulseAudio server does not answer"
pactl set-default-sink testsink || skip "the null sink is missing"

export P95_PLAYBACK_MONITOR=testsink.monitor
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
"$program" "$@"
