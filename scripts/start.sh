#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it from its build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-dependencies.sh"
"$root/scripts/build.sh" "$root/build"
exec "$root/build/bin/Quillmarch"
