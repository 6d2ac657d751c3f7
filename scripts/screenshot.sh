#!/usr/bin/env bash
# Takes the README's screenshot of the main window: the built program in a
# real X server (Xvfb), with the settings and the empty archive shipped
# beside it, copied into a throw-away program folder.
# Usage: scripts/screenshot.sh [build-dir]   (writes docs/main-window.png)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-$root/build}"
out="$root/docs/main-window.png"
mkdir -p "$root/docs"

work="$(mktemp -d)"
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cp "$build_dir/bin/Quillmarch" "$work/"
cp "$root/data/Quillmarch.ini" "$work/"
"$build_dir/tools/qm_make_empty_archive" "$work/QM.dbf"

display=":$((90 + RANDOM % 9))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp &
xvfb_pid=$!
sleep 1
DISPLAY="$display" QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= "$work/Quillmarch" &
app_pid=$!

window=""
for _ in $(seq 1 50); do
  window="$(DISPLAY="$display" xwininfo -root -tree 2>/dev/null | awk '/"Quillmarch - /{print $1; exit}')"
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "The main window did not appear" >&2
  exit 1
fi
sleep 1
DISPLAY="$display" import -window "$window" "$out"
echo "Wrote $out"
