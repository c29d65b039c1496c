#!/usr/bin/env bash
# Sets up, builds (warnings are errors) and runs every test headless.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci
