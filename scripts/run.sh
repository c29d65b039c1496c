#!/usr/bin/env bash
# Sets up, builds and launches Paletteer 95.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release
exec build/release/app/paletteer95 "$@"
