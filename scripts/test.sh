#!/usr/bin/env bash
# Sets up, builds (warnings are errors) and runs every test headless; then
# the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# (without the tests labelled needs-servers, which start an X server or a
# sound server), and a short read-only fuzz smoke run of every fuzz target.
# The CI tests include the desktop files' validation and the Debian package,
# built from the ci tree and unpacked into a scratch root (paletteer95_deb).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen

echo "== CI build and tests"
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci

echo "== Sanitizer build and tests (ASan + UBSan)"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

echo "== Fuzz smoke (20 s per target, two at a time; the corpora stay as they are)"
bash scripts/fuzz.sh --smoke 20 1000000 2
