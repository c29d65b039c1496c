#!/usr/bin/env bash
# The Debian package, made by `cpack -G DEB` from the build tree into a scratch
# folder: its name and control fields (shared-library and run-time
# dependencies, a maintainer, a description), apt's simulated install of it,
# its files unpacked into a scratch root (dpkg -x), and the packaged
# paletteer95-cli run from there: --version, and a save that fills the
# program directory from the packaged data files. The package carries no MIME
# or desktop database of its own. Exit 77 (skipped) when a tool is missing.
#
#   deb_test.sh BUILD_DIR SOURCE_DIR VERSION
set -u
. "$(cd "$(dirname "$0")" && pwd)/../lib/xserver.sh"
. "$(cd "$(dirname "$0")" && pwd)/../lib/installed.sh"

[ $# -eq 3 ] || { echo "usage: $0 BUILD_DIR SOURCE_DIR VERSION" >&2; exit 2; }
build=$1
source=$2
version=$3
require_tools "cmake, dpkg-dev, file, man-db" cpack dpkg-deb dpkg-shlibdeps file man

make_work p95-deb
started=$(date +%s.%N)
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -n 5 "$work/cpack.log")"
deb="$work/out/paletteer95_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work/out")"
made=$(date +%s.%N)

field() {
    dpkg-deb -f "$deb" "$1"
}
[ "$(field Package)" = paletteer95 ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "package version $(field Version)"
field Maintainer | grep -q '<paletteer95@example.org>$' || fail "maintainer: $(field Maintainer)"
[ "$(field Description | wc -l)" -gt 2 ] || fail "no long description: $(field Description)"
depends=$(field Depends)
# Found by dpkg-shlibdeps...
for library in libqt6widgets6 libqt6multimedia6 libc6; do
    grep -qFw "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
# ...and what Qt and GStreamer load at run time: the Run section of scripts/packages.txt.
run=$(sed -n '/^# Run/,/^# \(Build\|Test\)/p' "$source/scripts/packages.txt" | grep -v '^#' | grep .)
[ -n "$run" ] || fail "no run-time packages in scripts/packages.txt"
for package in $run; do
    grep -qFw "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
done

# apt resolves every dependency (a simulation: nothing is installed).
if command -v apt-get >/dev/null 2>&1; then
    apt-get install -s "$deb" >"$work/apt.log" 2>&1 ||
        fail "apt cannot install the package: $(grep -v '^\(Reading\|Building\|NOTE\)' "$work/apt.log" | tail -n 5)"
fi

root="$work/root"
dpkg -x "$deb" "$root" || fail "dpkg -x failed"
for file in "${installed_files[@]}"; do
    [ -e "$root/usr/$file" ] || fail "the package lacks /usr/$file"
done
for cache in share/mime/mime.cache share/applications/mimeinfo.cache; do
    [ ! -e "$root/usr/$cache" ] || fail "the package carries a database: /usr/$cache"
done
for page in "$root"/usr/share/man/man1/*.gz; do
    check_man_page "$page"
done

cli="$root/usr/bin/paletteer95-cli"
[ "$("$cli" --version)" = "paletteer95-cli $version" ] || fail "packaged --version: $("$cli" --version 2>&1)"
[ "$(env -u DISPLAY "$root/usr/bin/paletteer95" --version)" = "paletteer95 $version" ] ||
    fail "packaged paletteer95 --version"
echo '{"name": "Packaged", "includeReadMe": true}' | "$cli" save - 2>"$work/save.err" ||
    fail "the packaged CLI could not save: $(cat "$work/save.err")"
drive="$PALETTEER95_DRIVE_C"
[ -f "$drive/Program Files/Plus!/Themes/Packaged/Packaged.theme" ] || fail "no theme saved"
cmp -s "$root/usr/share/paletteer95/tipofday.txz" "$drive/Program Files/Paletteer 95/tipofday.txz" ||
    fail "the program directory was not filled from the packaged data files"

awk -v deb="$(basename "$deb")" -v size="$(stat -c %s "$deb")" -v a="$started" -v b="$made" \
    -v c="$(date +%s.%N)" 'BEGIN {
        printf "built %s (%d KiB) in %.1f s; unpacked and checked in %.1f s\n", deb, size / 1024, b - a, c - b
    }'
echo "PASSED"
