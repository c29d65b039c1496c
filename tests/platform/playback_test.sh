#!/usr/bin/env bash
# Runs the playback test program against a private PulseAudio server whose
# only sink is a null sink, so that what the program plays can be recorded
# from its monitor. Exit 77 (skipped, with the reason) when no server can be
# started here; the server is stopped on every way out.
#
#   playback_test.sh PATH/TO/p95_playback_tests [gtest options]
set -u
. "$(cd "$(dirname "$0")" && pwd)/../lib/xserver.sh"
. "$(cd "$(dirname "$0")" && pwd)/../lib/pulse.sh"

[ $# -ge 1 ] || { echo "usage: $0 TEST_PROGRAM [options]" >&2; exit 2; }
program=$1
shift
require_tools "pulseaudio, pulseaudio-utils" pulseaudio pactl parec

# make_work leaves Qt's platform to each script.
qpa=${QT_QPA_PLATFORM:-offscreen}
make_work p95-pulse
start_pulse

export P95_PLAYBACK_MONITOR=testsink.monitor
export QT_QPA_PLATFORM="$qpa"
"$program" "$@"
