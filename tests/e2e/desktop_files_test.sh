#!/usr/bin/env bash
# The files a desktop reads, checked with the desktop's own tools: the desktop
# entry (desktop-file-validate), the AppStream data (appstreamcli, without the
# network), the manual pages (man --warnings prints nothing), and the bash
# completion (answers for a few command lines). The version they name is the
# project's; the AppStream data shows every window screenshot of
# docs/screenshots, and only files that are there.
# Exit 77 (skipped) when a tool is missing.
#
#   desktop_files_test.sh SOURCE_DIR VERSION
set -u
. "$(cd "$(dirname "$0")" && pwd)/../lib/xserver.sh"
. "$(cd "$(dirname "$0")" && pwd)/../lib/installed.sh"

[ $# -eq 2 ] || { echo "usage: $0 SOURCE_DIR VERSION" >&2; exit 2; }
source=$1
version=$2
require_tools "desktop-file-utils, appstream, man-db" desktop-file-validate appstreamcli man

desktop="$source/data/paletteer95.desktop"
metainfo="$source/data/org.example.paletteer95.metainfo.xml"

out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop entry: $out"

out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) ||
    fail "AppStream data: $out"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the newest AppStream release is $newest, the project is $version"
shots=0
for image in $(sed -n 's|.*<image>.*/\(docs/screenshots/[^<]*\)</image>.*|\1|p' "$metainfo"); do
    [ -f "$source/$image" ] || fail "the AppStream screenshot $image is not in the repository"
    shots=$((shots + 1))
done
for window in "$source"/docs/screenshots/editor-*.png "$source"/docs/screenshots/preview-window-*.png; do
    grep -q "/docs/screenshots/$(basename "$window")</image>" "$metainfo" ||
        fail "the AppStream data lacks the screenshot $(basename "$window")"
done

for page in "$source"/docs/man/*.1; do
    check_man_page "$page"
    grep -q "^\.TH .* \"Paletteer 95 $version\"" "$page" ||
        fail "$(basename "$page") does not name version $version"
done

# The completion with bash-completion's two helpers stood in for.
completions() {
    bash -c '
        _init_completion() { words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD
            cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}; }
        _filedir() { COMPREPLY=("files:$1"); }
        complete() { :; }
        . "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _paletteer95_cli; echo "${COMPREPLY[*]}"' bash "$source/data/paletteer95-cli.bash" "$@"
}
[ "$(completions paletteer95-cli re)" = "read" ] || fail "completion of a command: $(completions paletteer95-cli re)"
[ "$(completions paletteer95-cli read "")" = "files:theme" ] || fail "completion after read"
[ "$(completions paletteer95-cli write doc.json -o "")" = "files:theme" ] || fail "completion after -o"
[ "$(completions paletteer95-cli read x.theme --)" = "--into" ] || fail "completion of read's option"
[ "$(completions paletteer95-cli preview doc.json -o "")" = "files:png" ] || fail "completion after preview -o"

echo "desktop entry, AppStream data ($shots screenshots), $(ls "$source"/docs/man/*.1 | wc -l) manual pages and the completion are valid"
echo "PASSED"
