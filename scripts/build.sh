#!/usr/bin/env bash
# Configures and builds one of the builds of CMakePresets.json:
#   scripts/build.sh <preset> [further cmake options...]
# Presets: program, test, sanitize, bench, fuzz, package (each in build[-preset]/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
preset="$1"
shift
cd "$root"
cmake --preset "$preset" "$@"
cmake --build --preset "$preset" -j "$(nproc)"
