#!/usr/bin/env bash
# Builds the Debian package into build-package/ and prints its path. Install it
# with: apt install ./build-package/quillmarch_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-dependencies.sh"
build_dir="$root/build-package"
"$root/scripts/build.sh" package >&2
rm -f "$build_dir"/quillmarch_*.deb
(cd "$build_dir" && cpack -G DEB >&2)
ls "$build_dir"/quillmarch_*.deb
