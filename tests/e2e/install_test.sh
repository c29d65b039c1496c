#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that it is laid out
# like a desktop program (executables in bin/, data files in
# share/paletteer95/, a desktop entry and an icon), then launches the
# installed paletteer95 on a virtual X server: it must fill its program
# directory from the installed data files and show the Tip of the Day with a
# tip from them. Exit 77 (skipped) when a tool is missing.
#
#   install_test.sh BUILD_DIR
set -u

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$1
for tool in Xvfb xdotool faketime; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (packages xvfb, xdotool, faketime)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/p95-install.XXXXXX") || fail "cannot make a work folder"
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; }
    [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; }
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

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

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -n 5 "$work/install.log")"

data_files="theme.icp tipofday.icp info.icp play.bmz play2.bmz ani.bmz unavailable.bmz pen.cuz
theme.cat tipofday.txz PersonalReadMe.txz"
for program in paletteer95 paletteer95-cli; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
for file in $data_files; do
    [ -f "$prefix/share/paletteer95/$file" ] || fail "share/paletteer95/$file is not installed"
done
desktop="$prefix/share/applications/paletteer95.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
grep -qx "Exec=paletteer95" "$desktop" || fail "the desktop entry does not start paletteer95"
icon=$(sed -n 's/^Icon=//p' "$desktop")
ls "$prefix"/share/icons/hicolor/*/apps/"$icon".png >/dev/null 2>&1 ||
    fail "no icon \"$icon\" in share/icons/hicolor"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
fi

# A tip file that only the installation has, so that the program directory
# shows where the program took its data files from.
printf '2\r\nThis tip comes from the installed data files.\r\n' >"$prefix/share/paletteer95/tipofday.txz"

# The installed program, far from the build tree, on a fresh drive C.
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share" XDG_CACHE_HOME="$work/home/.cache"
export PULSE_SERVER="unix:$work/no-sound-server" PALETTEER95_DRIVE_C="$work/drive_c"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/displayfd" 2>"$work/xvfb.log" &
xvfb_pid=$!
read -r -t 15 number <"$work/displayfd" || fail "Xvfb did not start"
export DISPLAY=":$number"
x_answers() {
    xdotool getdisplaygeometry >/dev/null 2>&1
}
poll 5 x_answers || fail "Xvfb on $DISPLAY does not answer"

(cd "$work" && exec faketime -m --exclude-monotonic '2026-03-03 12:00:00' \
    "$prefix/bin/paletteer95" >"$work/app.log" 2>&1) &
app_pid=$!
tip_shown() {
    [ -n "$(xdotool search --onlyvisible --name '^Tip of the Day$' 2>/dev/null)" ]
}
poll 20 tip_shown || fail "the installed program showed no Tip of the Day: $(tail -n 5 "$work/app.log")"

program_dir="$PALETTEER95_DRIVE_C/Program Files/Paletteer 95"
for file in $data_files; do
    cmp -s "$prefix/share/paletteer95/$file" "$program_dir/$file" ||
        fail "the program directory did not get $file from the installation"
done
echo "installed to $prefix: $(cd "$prefix" && find . -type f | wc -l) files; the program directory was filled from share/paletteer95"
echo "PASSED"
