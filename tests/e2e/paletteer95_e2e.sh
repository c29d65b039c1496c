#!/usr/bin/env bash
# End-to-end test of the real program on a virtual X server, with xdotool as
# the user's hands:
#   run 1: Tip of the Day -> Continue -> a name -> the editor -> Ctrl+S -> OK,
#          then the theme directory and its .theme file are checked on disk;
#   run 2: the start window's Open, the real file dialog (the path typed), and
#          Save As (Ctrl+A) under a new name;
#   run 3: a .theme file on the command line (as a file manager's Open passes
#          it): the editor at once, no Tip of the Day, Ctrl+S -> OK;
#   run 4: a file on the command line that cannot be read: a message, then the
#          Tip of the Day.
# Each run has an X server of its own (-displayfd picks a free display); it is
# killed and waited for before the next one starts. The date is pinned so that
# no run on 12 January plays the birthday tune. Exit 77 (skipped) when a tool
# is missing.
#
#   paletteer95_e2e.sh PATH/TO/paletteer95 VERSION
set -u
. "$(cd "$(dirname "$0")" && pwd)/../lib/xserver.sh"

[ $# -eq 2 ] || { echo "usage: $0 PATH/TO/paletteer95 VERSION" >&2; exit 2; }
program=$1
version=$2
[ -x "$program" ] || fail "no program at $program"
require_tools "xvfb, xdotool" Xvfb xdotool
require_fixed_date

make_work p95-e2e
themes="$PALETTEER95_DRIVE_C/Program Files/Plus!/Themes"
app_pid=
app_log=
stop_app() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null
        wait "$app_pid" 2>/dev/null
        app_pid=
    fi
}
on_exit stop_app

# Starts the program and waits for its first window: launch RUN TITLE [ARGUMENT...].
# One more try on a fresh X server when the display went away under it.
launch() {
    local run=$1 first=$2 attempt
    shift 2
    shown_or_ended() {
        has_window "$first" || ! kill -0 "$app_pid" 2>/dev/null
    }
    for attempt in 1 2; do
        app_log="$work/app-$run.log"
        on_fixed_date "$program" "$@" >"$app_log" 2>&1 &
        app_pid=$!
        poll 20 shown_or_ended || fail "no window \"$first\" appeared"
        has_window "$first" && return 0
        wait "$app_pid"
        app_pid=
        grep -q "could not connect to display" "$app_log" ||
            fail "the program ended before showing \"$first\""
        echo "the display went away (attempt $attempt); a new X server" >&2
        stop_x
        start_x
    done
    fail "the program could not reach an X server"
}

# The visible windows whose title matches exactly.
windows() {
    xdotool search --onlyvisible --name "^$1\\*?\$" 2>/dev/null
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
# Yes to the quit question (Y; No is the default button): the program ends by
# itself, status 0.
answer_quit_yes() {
    focus "$1"
    keys y
    poll 10 app_ended || fail "the program did not end after Yes to the quit question"
    wait "$app_pid"
    local status=$?
    app_pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}
# Ctrl+Q in the editor, then Yes.
quit_program() {
    local editor=$1 question
    focus "$editor"
    press_until two_windows "no quit question after Ctrl+Q" ctrl+q
    question=$(other_window "Paletteer 95" "$editor")
    answer_quit_yes "$question"
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
# Ctrl+S in the editor, OK to the question, and the file on disk: save_with_ctrl_s EDITOR FILE.
save_with_ctrl_s() {
    local editor=$1 file=$2 question
    focus "$editor"
    press_until two_windows "no save question after Ctrl+S" ctrl+s
    question=$(other_window "Paletteer 95" "$editor")
    focus "$question"
    keys Return # OK
    poll 20 file_exists "$file" || fail "no $file after the save"
}

tip_gone() {
    no_window "Tip of the Day"
}
# Enter on the Tip of the Day, then the start window, focused, in $start.
continue_to_start() {
    local tip
    tip=$(window_of "Tip of the Day") || exit 1
    focus "$tip"
    press_until tip_gone "Enter did not continue from the Tip of the Day" Return
    start=$(window_of "Paletteer 95") || exit 1
    focus "$start"
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
# --version and --help answer without a display.
[ "$(env -u DISPLAY "$program" -style Fusion --version)" = "paletteer95 $version" ] ||
    fail "--version did not print \"paletteer95 $version\""
env -u DISPLAY "$program" --help | grep -q '^Usage: paletteer95 .*FILE\.theme' ||
    fail "--help did not print the usage"

# ---------------------------------------------------------------- run 1
start_x
launch 1 "Tip of the Day"
continue_to_start
type_text "Ocean"
loading_shown() {
    has_window "Loading Paletteer 95" || ! windows "Paletteer 95" | grep -qx "$start"
}
press_until loading_shown "Enter did not continue from the start window" Return
editor=$(editor_window "$start") || exit 1
no_window "Loading Paletteer 95" || poll 10 no_window "Loading Paletteer 95" ||
    fail "the loading window stayed"

theme="$themes/Ocean/Ocean.theme"
save_with_ctrl_s "$editor" "$theme"
[ -d "$themes/Ocean" ] || fail "no theme directory"
grep -q $'^\\[MasterThemeSelector\\]\r$' "$theme" || fail "the .theme file lacks its signature section"
grep -q $'^MTSM = DABJDKT\r$' "$theme" || fail "the .theme file lacks its signature"
[ -n "$(colours_of "$theme")" ] || fail "the .theme file has no colours"
if grep -q $'[^\r]$' "$theme"; then fail "a line of the .theme file does not end in CR LF"; fi
quit_program "$editor"
stop_x
echo "run 1: saved $(wc -c <"$theme") bytes to Ocean/Ocean.theme"

# ---------------------------------------------------------------- run 2
# Run 1 saved the Default preset, which a fresh editor holds anyway: give the
# theme colours of its own, each different, so that run 2 compares colours
# that only the reading can have brought.
fresh_colours=$(colours_of "$theme")
awk '{ sub(/\r$/, "") }
     /^\[/ { inside = ($0 == "[Control Panel\\Colors]") }
     inside && /^[A-Za-z]+=/ { n++; sub(/=.*/, "=" (n * 9) " " (250 - n * 7) " " (n * 3 + 1)) }
     { printf "%s\r\n", $0 }' "$theme" >"$work/recoloured.theme" && mv "$work/recoloured.theme" "$theme" ||
    fail "cannot recolour $theme"
[ "$(colours_of "$theme" | grep -c =)" -eq 25 ] || fail "the recoloured theme lacks colours"
[ "$(colours_of "$theme")" != "$fresh_colours" ] || fail "the recolouring changed nothing"

start_x
launch 2 "Tip of the Day"
continue_to_start
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

# ---------------------------------------------------------------- run 3
start_x
# Qt's options are Qt's; an option of our own that does not exist is refused.
"$program" -style Fusion --open >"$work/badoption.log" 2>&1
status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status"
grep -q "^paletteer95: unknown option --open" "$work/badoption.log" ||
    fail "an unknown option: $(cat "$work/badoption.log")"

# A theme from elsewhere, with colours of its own and no files to copy.
given="$work/From a Friend/Coral Reef.theme"
mkdir -p "$(dirname "$given")"
printf '%s\r\n' '[Control Panel\Colors]' 'ActiveTitle=10 20 30' 'Background=0 64 64' \
    'Window=1 2 3' '' '[MasterThemeSelector]' 'MTSM = DABJDKT' >"$given"
launch 3 "Paletteer 95" -style Fusion "$given"
editor=$(window_of "Paletteer 95") || exit 1
has_windows "Paletteer 95" 1 || fail "more than the editor showed"
[ -z "$(xdotool search --name '^Tip of the Day$' 2>/dev/null)" ] ||
    fail "the Tip of the Day was made although a file was given"
saved="$themes/Coral Reef/Coral Reef.theme"
save_with_ctrl_s "$editor" "$saved"
for line in 'ActiveTitle=10 20 30' 'Background=0 64 64' 'Window=1 2 3'; do
    grep -q "^$line"$'\r$' "$saved" || fail "the saved theme lacks the opened colour $line"
done
quit_program "$editor"
stop_x
echo "run 3: paletteer95 \"$given\" opened the editor at once; saved as Coral Reef"

# ---------------------------------------------------------------- run 4
start_x
launch 4 "Paletteer 95" "$work/nowhere/Gone.theme"
message=$(window_of "Paletteer 95") || exit 1
no_window "Tip of the Day" || fail "the Tip of the Day came before the message"
focus "$message"
keys Return # OK
tip=$(window_of "Tip of the Day") || exit 1
no_window "Paletteer 95" || fail "the message or the editor stayed"
focus "$tip"
tip_asks() {
    has_window "Paletteer 95"
}
press_until tip_asks "no quit question after Escape on the Tip of the Day" Escape
question=$(window_of "Paletteer 95") || exit 1
answer_quit_yes "$question"
stop_x
echo "run 4: a file that cannot be read was said, then the Tip of the Day"
echo "PASSED"
