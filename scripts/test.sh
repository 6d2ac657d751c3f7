#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: in the normal build
# (the Debian package is built and tried there), then the fuzz targets (clang,
# libFuzzer) for a minute each, then every test again built with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-dependencies.sh"

# Tests never need a desktop session: widgets run offscreen, the office headless.
unset DISPLAY WAYLAND_DISPLAY || true
export QT_QPA_PLATFORMTHEME=

"$root/scripts/build.sh" test
(cd "$root" && ctest --preset test)

# Bad input: every fuzz target for a bounded time over its committed corpus.
"$root/scripts/fuzz.sh" 60

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$root/scripts/build.sh" sanitize
(cd "$root" && ctest --preset sanitize)
