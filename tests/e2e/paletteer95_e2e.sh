#!/usr/bin/env bash
# End-to-end test of the real program on a virtual X server, with xdotool as
# the user's hands:
#   run 1: Tip of the Day -> Continue -> a name -> the editor -> Ctrl+S -> OK,
#          then the theme directory and its .theme file are checked on disk;
#   run 2: the start window's Open, the real file dialog (the path typed), and
#          Save As (Ctrl+A) under a new name.
# Each run has an X server of its own (-displayfd picks a free display); it is
# killed and waited for before the next one starts. The date is pinned so that
# no run on 12 January plays the birthday tune. Exit 77 (skipped) when a tool
# is missing.
#
#   paletteer95_e2e.sh PATH/TO/paletteer95
set -u

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*" >&2
    if [ -n "${app_log:-}" ] && [ -s "$app_log" ]; then
        echo "--- program output" >&2
        tail -n 20 "$app_log" >&2
    fi
    exit 1
}

[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/paletteer95" >&2; exit 2; }
program=$1
[ -x "$program" ] || fail "no program at $program"
for tool in Xvfb xdotool faketime; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (packages xvfb, xdotool, faketime)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/p95-e2e.XXXXXX") || fail "cannot make a work folder"
xvfb_pid=
app_pid=
app_log=

stop_app() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null
        wait "$app_pid" 2>/dev/null
        app_pid=
    fi
}
stop_x() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    fi
}
cleanup() {
    stop_app
    stop_x
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A private home for everything the program or Qt might write, no sound server.
export HOME="$work/home"
export XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache"
export PULSE_SERVER="unix:$work/no-sound-server"
export PALETTEER95_DRIVE_C="$work/drive_c"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_STYLE_OVERRIDE
themes="$PALETTEER95_DRIVE_C/Program Files/Plus!/Themes"

# Polls a command until it succeeds: poll SECONDS COMMAND...
poll() {
    local seconds=$1
    shift
    local tries=$((seconds * 20))
    while [ "$tries" -gt 0 ]; do
        "$@" && return 0
        sleep 0.05
        tries=$((tries - 1))
    done
    return 1
}

x_answers() {
    xdotool getdisplaygeometry >/dev/null 2>&1
}
# An X server of our own on a free display. Servers started at the same time
# by other test runs can disturb each other's sockets while they pick their
# displays, so a server that does not answer is replaced.
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

tip_or_end() {
    has_window "Tip of the Day" || ! kill -0 "$app_pid" 2>/dev/null
}
# Starts the program and waits for its first window; one more try on a fresh
# X server when the display went away under it.
launch() {
    local attempt
    for attempt in 1 2; do
        app_log="$work/app-$1.log"
        faketime -m --exclude-monotonic '2026-03-03 12:00:00' "$program" >"$app_log" 2>&1 &
        app_pid=$!
        poll 20 tip_or_end || fail "no window \"Tip of the Day\" appeared"
        has_window "Tip of the Day" && return 0
        wait "$app_pid"
        app_pid=
        grep -q "could not connect to display" "$app_log" ||
            fail "the program ended before showing the Tip of the Day"
        echo "the display went away (attempt $attempt); a new X server" >&2
        stop_x
        start_x
    done
    fail "the program could not reach an X server"
}

# The visible windows whose title matches exactly.
windows() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null
}
count_windows() {
    windows "$1" | wc -l
}
has_window() {
    [ "$(count_windows "$1")" -ge 1 ]
}
no_window() {
    [ "$(count_windows "$1")" -eq 0 ]
}
has_windows() {
    [ "$(count_windows "$1")" -eq "$2" ]
}
# Prints the first visible window with this title, once there is one. Called
# as var=$(window_of ...) || exit 1, since a failure in $(...) only ends the
# subshell.
window_of() {
    poll "${2:-20}" has_window "$1" || fail "no window \"$1\" appeared"
    windows "$1" | head -n 1
}
# A window other than the one given, with the same title.
other_window() {
    windows "$1" | grep -vx "$2" | head -n 1
}

# There is no window manager: give the window the input focus ourselves.
focused_on() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}
focus() {
    xdotool windowfocus "$1" 2>/dev/null
    poll 5 focused_on "$1" || fail "window $1 did not take the focus"
    # Qt activates the window when the focus event reaches it, a moment later.
    sleep 0.2
}
keys() {
    xdotool key --clearmodifiers "$@"
}
# Presses keys until a check holds: Qt may see the focus a moment after the
# X server gives it, and a shortcut pressed before that is lost. Only for keys
# that do nothing when pressed once more while their effect is showing.
press_until() {
    local check=$1 what=$2 attempt
    shift 2
    for attempt in 1 2 3; do
        keys "$@"
        poll 3 $check && return 0
    done
    fail "$what"
}
type_text() {
    xdotool type --delay 15 -- "$1"
}

app_running() {
    kill -0 "$app_pid" 2>/dev/null
}
app_ended() {
    ! app_running
}
# Ctrl+Q, Yes (Y; No is the default button): the program ends by itself, status 0.
quit_program() {
    local editor=$1
    focus "$editor"
    press_until two_windows "no quit question after Ctrl+Q" ctrl+q
    local question
    question=$(other_window "Paletteer 95" "$editor")
    focus "$question"
    keys y
    poll 10 app_ended || fail "the program did not end after Yes to the quit question"
    wait "$app_pid"
    local status=$?
    app_pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

# Waits for the editor, the one "Paletteer 95" window left once the start
# window (given) has gone.
start_gone_one_left() {
    ! windows "Paletteer 95" | grep -qx "$1" && has_windows "Paletteer 95" 1
}
editor_window() {
    poll 20 start_gone_one_left "$1" || fail "the editor did not show (or the start window stayed)"
    windows "Paletteer 95"
}
two_windows() {
    has_windows "Paletteer 95" 2
}

file_exists() {
    [ -f "$1" ]
}
colours_of() {
    sed -n '/^\[Control Panel\\Colors\]/,/^\r\{0,1\}$/p' "$1"
}

# ---------------------------------------------------------------- no display
# Without a display the program says so and ends with status 1, not a crash.
env -u DISPLAY timeout 20 "$program" >"$work/nodisplay.log" 2>&1
status=$?
[ "$status" -eq 1 ] || fail "without a display the program ended with status $status"
grep -q "no display" "$work/nodisplay.log" || fail "without a display: $(cat "$work/nodisplay.log")"
# A display that is named but not there: Qt's reason, then status 1.
dead=5000
while [ -e "/tmp/.X11-unix/X$dead" ] || [ -e "/tmp/.X$dead-lock" ]; do dead=$((dead + 1)); done
DISPLAY=":$dead" timeout 20 "$program" >"$work/deaddisplay.log" 2>&1
status=$?
[ "$status" -eq 1 ] || fail "with an unreachable display the program ended with status $status"
grep -q "cannot open a window" "$work/deaddisplay.log" ||
    fail "with an unreachable display: $(cat "$work/deaddisplay.log")"

# ---------------------------------------------------------------- run 1
start_x
launch 1
tip=$(window_of "Tip of the Day") || exit 1
focus "$tip"
tip_gone() {
    no_window "Tip of the Day"
}
press_until tip_gone "Enter did not continue from the Tip of the Day" Return

start=$(window_of "Paletteer 95") || exit 1
focus "$start"
type_text "Ocean"
loading_shown() {
    has_window "Loading Paletteer 95" || ! windows "Paletteer 95" | grep -qx "$start"
}
press_until loading_shown "Enter did not continue from the start window" Return
editor=$(editor_window "$start") || exit 1
no_window "Loading Paletteer 95" || poll 10 no_window "Loading Paletteer 95" ||
    fail "the loading window stayed"

focus "$editor"
press_until two_windows "no save question after Ctrl+S" ctrl+s
question=$(other_window "Paletteer 95" "$editor")
focus "$question"
keys Return # OK
theme="$themes/Ocean/Ocean.theme"
poll 20 file_exists "$theme" || fail "no $theme after the save"
[ -d "$themes/Ocean" ] || fail "no theme directory"
grep -q $'^\\[MasterThemeSelector\\]\r$' "$theme" || fail "the .theme file lacks its signature section"
grep -q $'^MTSM = DABJDKT\r$' "$theme" || fail "the .theme file lacks its signature"
[ -n "$(colours_of "$theme")" ] || fail "the .theme file has no colours"
if grep -q $'[^\r]$' "$theme"; then fail "a line of the .theme file does not end in CR LF"; fi
quit_program "$editor"
stop_x
echo "run 1: saved $(wc -c <"$theme") bytes to Ocean/Ocean.theme"

# ---------------------------------------------------------------- run 2
start_x
launch 2
tip=$(window_of "Tip of the Day") || exit 1
focus "$tip"
press_until tip_gone "Enter did not continue from the Tip of the Day" Return
start=$(window_of "Paletteer 95") || exit 1
focus "$start"
dialog_shown() {
    has_window "Choose a Theme to Open"
}
press_until dialog_shown "no file dialog after Alt+O" alt+o # "&Open a Theme"
dialog=$(window_of "Choose a Theme to Open") || exit 1
focus "$dialog"
type_text "$theme"
keys Return
poll 10 no_window "Choose a Theme to Open" || fail "the file dialog stayed"
editor=$(editor_window "$start") || exit 1

focus "$editor"
press_until two_windows "no input box after Ctrl+A" ctrl+a
input=$(other_window "Paletteer 95" "$editor")
focus "$input"
keys ctrl+a # the whole proposed name, replaced by the typed one
type_text "Ocean Copy"
keys Return
copy="$themes/Ocean Copy/Ocean Copy.theme"
poll 20 file_exists "$copy" || fail "no $copy after Save As"
grep -q $'^MTSM = DABJDKT\r$' "$copy" || fail "the copy lacks its signature"
[ "$(colours_of "$copy")" = "$(colours_of "$theme")" ] ||
    fail "the copy's colours differ from the opened theme's"
[ -f "$theme" ] || fail "Save As lost the opened theme"
quit_program "$editor"
stop_x
echo "run 2: opened Ocean.theme through the file dialog and saved it as Ocean Copy"
echo "PASSED"
