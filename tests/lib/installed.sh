# What an installation of the program holds, for the scripts that check one
# (the install into a prefix, the Debian package), and the check of a manual
# page. Sourced after xserver.sh (it uses fail):
#
#   . "$(dirname "$0")/../lib/installed.sh"

# The data files, in share/paletteer95.
data_files=(theme.icp tipofday.icp info.icp play.bmz play2.bmz ani.bmz unavailable.bmz pen.cuz
    theme.cat tipofday.txz PersonalReadMe.txz)
# Every installed file, relative to the prefix.
installed_files=(bin/paletteer95 bin/paletteer95-cli lib/paletteer95/libp95_audio.so
    share/applications/paletteer95.desktop share/icons/hicolor/64x64/apps/paletteer95.png
    share/mime/packages/paletteer95.xml share/metainfo/org.example.paletteer95.metainfo.xml
    share/man/man1/paletteer95.1.gz share/man/man1/paletteer95-cli.1.gz
    share/bash-completion/completions/paletteer95-cli
    "${data_files[@]/#/share/paletteer95/}")

# check_man_page PAGE: man renders it (source or gzip-compressed) without a warning.
check_man_page() {
    local out
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "$(basename "$1"): $out"
}
