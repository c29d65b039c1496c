#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that it is laid out
# like a desktop program (executables in bin/, data files in
# share/paletteer95/, a desktop entry that opens .theme files, the file type,
# AppStream data, manual pages, an icon) and that the install updated the
# prefix's MIME and desktop databases; then launches the installed
# paletteer95 on a virtual X server: it must fill its program directory from
# the installed data files and show the Tip of the Day with a tip from them.
# Exit 77 (skipped) when a tool is missing.
#
#   install_test.sh BUILD_DIR
set -u
. "$(cd "$(dirname "$0")" && pwd)/../lib/xserver.sh"
. "$(cd "$(dirname "$0")" && pwd)/../lib/installed.sh"

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$1
require_tools "xvfb, xdotool" Xvfb xdotool
require_fixed_date

make_work p95-install
app_pid=
stop_app() {
    [ -n "$app_pid" ] && { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; }
}
on_exit stop_app

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -n 5 "$work/install.log")"

for file in "${installed_files[@]}"; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
for program in paletteer95 paletteer95-cli; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
desktop="$prefix/share/applications/paletteer95.desktop"
grep -qx "Exec=paletteer95 %f" "$desktop" || fail "the desktop entry does not start paletteer95 with a file"
grep -qx "MimeType=application/x-windows-theme;" "$desktop" || fail "the desktop entry opens no .theme files"
# The install updated the prefix's databases where the tools are there.
if command -v update-mime-database >/dev/null 2>&1; then
    grep -q "application/x-windows-theme" "$prefix/share/mime/types" 2>/dev/null ||
        fail "the install did not update the MIME database of the prefix"
fi
if command -v update-desktop-database >/dev/null 2>&1; then
    grep -q "^application/x-windows-theme=paletteer95.desktop" "$prefix/share/applications/mimeinfo.cache" 2>/dev/null ||
        fail "the install did not update the desktop database of the prefix"
fi
# What a GNOME file manager does on a double-click: the file's type, then its
# default application (GLib lists only those whose program is on the PATH).
if command -v gio >/dev/null 2>&1; then
    printf '[Control Panel\\Desktop]\r\nWallpaper=\r\n' >"$work/Sample.theme"
    type=$(XDG_DATA_DIRS="$prefix/share:/usr/share" gio info -a standard::content-type "$work/Sample.theme" |
        sed -n 's/.*content-type: //p')
    [ "$type" = application/x-windows-theme ] || fail "an installed desktop sees a theme file as $type"
    PATH="$prefix/bin:$PATH" XDG_DATA_DIRS="$prefix/share:/usr/share" gio mime application/x-windows-theme |
        grep -q "^Default application.*paletteer95.desktop" ||
        fail "paletteer95 is not the default application for theme files"
fi
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
start_x

(cd "$work" && on_fixed_date "$prefix/bin/paletteer95" >"$work/app.log" 2>&1) &
app_pid=$!
tip_shown() {
    [ -n "$(xdotool search --onlyvisible --name '^Tip of the Day$' 2>/dev/null)" ]
}
app_log="$work/app.log"
poll 20 tip_shown || fail "the installed program showed no Tip of the Day"

program_dir="$PALETTEER95_DRIVE_C/Program Files/Paletteer 95"
for file in "${data_files[@]}"; do
    cmp -s "$prefix/share/paletteer95/$file" "$program_dir/$file" ||
        fail "the program directory did not get $file from the installation"
done
echo "installed to $prefix: $(cd "$prefix" && find . -type f | wc -l) files; the program directory was filled from share/paletteer95"
echo "PASSED"
