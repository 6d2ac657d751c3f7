#!/usr/bin/env bash
# Installs what is missing, builds the program alone (no tests, benchmarks or
# tools) and starts it from its build folder, where its files lie beside it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-dependencies.sh"
"$root/scripts/build.sh" program
exec "$root/build/bin/Quillmarch"
