#!/usr/bin/env bash
# Takes the README's pictures from the real program in a real X server (Xvfb):
# the main window with an act typed in, the filled act in LibreOffice Calc,
# and the archive window with a few acts. The program runs on a throw-away
# program folder (the shipped settings and template, an empty archive) and
# LibreOffice on a throw-away profile.
# Usage: scripts/screenshot.sh [build-dir]   (builds what it needs, writes docs/*.png)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-$root/build}"
out="$root/docs"
mkdir -p "$out"

# The screenshot driver is a tool: a build of the program alone lacks it.
cmake -S "$root" -B "$build_dir" -DQM_BUILD_TOOLS=ON >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target qm_readme_screenshots qm_program_data >/dev/null

work="$(mktemp -d)"
cleanup() {
  pkill -f "$work/profile" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/program"
cp "$root/data/Quillmarch.ini" "$build_dir/data/shipped/Quillmarch.xls" "$work/program/"
"$build_dir/tools/qm_make_empty_archive" "$work/program/QM.dbf"

exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x900x24 -nolisten tcp -noreset &
xvfb_pid=$!
read -r -t 10 display_number <&"$display_fd"
export DISPLAY=":$display_number"
setxkbmap -layout us,ru

QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= \
  "$build_dir/tools/qm_readme_screenshots" "$work/program" "$out" "$work/profile"
echo "Wrote $out/main-window.png $out/act-in-calc.png $out/archive-window.png"
