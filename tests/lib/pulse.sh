# A private PulseAudio server for the test scripts that play sound, sourced
# after xserver.sh (it needs make_work's $work and on_exit):
#
#   . "$(dirname "$0")/../lib/pulse.sh"
#   start_pulse              # PULSE_RUNTIME_PATH names it; stopped when the script ends
#
# Its only sink is a null sink, testsink, the default one: what is played there
# can be recorded from testsink.monitor. Skipped, with the reason, when no
# server can be started here.

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
# Its own runtime folder, home (for its cookie) and socket in $work, never the
# user's session server. As root the server must be told it is a per-user one
# (--system=no); it then only warns.
start_pulse() {
    require_tools "pulseaudio, pulseaudio-utils" pulseaudio pactl
    export PULSE_RUNTIME_PATH="$work/runtime/pulse"
    unset PULSE_SERVER PULSE_SINK PULSE_SOURCE
    on_exit stop_pulse
    pulseaudio -n --daemonize=yes --exit-idle-time=-1 --system=no \
        --log-target="file:$work/pulse.txt" \
        --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=testsink" \
        --load=module-always-sink 2>"$work/pulse.err" ||
        skip "the PulseAudio server did not start: $(cat "$work/pulse.err" "$work/pulse.txt" 2>/dev/null | grep -v '^W:' | tail -n 3 | tr '\n' ' ')"
    poll 5 pactl info >/dev/null 2>&1 || skip "the PulseAudio server does not answer"
    pactl set-default-sink testsink >/dev/null 2>&1 || skip "the null sink is missing"
}
