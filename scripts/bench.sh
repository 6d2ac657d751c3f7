#!/usr/bin/env bash
# Builds the benchmarks in a Release build (build-bench/) and runs them all,
# printing markdown tables of medians and ratios measured in this one run.
# Usage: scripts/bench.sh [--quick]
#   --quick  fewer runs and no 1,000,000-record archive (a check that all of it works)
# QM_BENCH_BEFORE_CHILD=<older build>/bench/qm_bench_archive_window_child runs an
# older commit's archive window beside this one, interleaved, for before/after figures.
# Installs what is missing: the project's packages and, for the independent
# reader, GDAL's ogrinfo (Debian package gdal-bin).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-dependencies.sh" gdal-bin
build_dir="$root/build-bench"

archive_args=(--with-million --runs 7)
startup_runs=15
print_runs=7
if [ "${1:-}" = "--quick" ]; then
  archive_args=(--runs 3)
  startup_runs=5
  print_runs=2
fi

(cd "$root" && cmake --preset bench >/dev/null)
cmake --build "$build_dir" -j "$(nproc)" --target qm_bench_archive qm_bench_archive_window qm_bench_startup qm_bench_print qm_program_data >/dev/null

unset WAYLAND_DISPLAY || true
export QT_QPA_PLATFORMTHEME=
bench="$build_dir/bench"

echo "## Machine"
echo
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(awk '/MemTotal/ {printf "%.0f GiB RAM", $2/1048576}' /proc/meminfo); $(. /etc/os-release && echo "$PRETTY_NAME"), Qt $(qtpaths6 --qt-version 2>/dev/null || echo 6), $(soffice --version 2>/dev/null | head -1 | cut -d' ' -f1-2)"
echo

QT_QPA_PLATFORM=offscreen "$bench/qm_bench_startup" --runs "$startup_runs"
if command -v xvfb-run >/dev/null; then
  # The same under a real X server: the windowing system's share of a start.
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24 -nolisten tcp" \
    "$bench/qm_bench_startup" --runs "$startup_runs"
fi

QT_QPA_PLATFORM=offscreen "$bench/qm_bench_archive" "${archive_args[@]}"
# The archive window as the mechanic waits for it: the real program on its own Xvfb.
# Each goal is printed beside its figure, its limit and what the machine takes to read the file once.
before_args=()
if [ -n "${QM_BENCH_BEFORE_CHILD:-}" ]; then
  before_args=(--before "$QM_BENCH_BEFORE_CHILD")
fi
"$bench/qm_bench_archive_window" "${archive_args[@]}" "${before_args[@]}"
# The same with the columns of a new archive (254 bytes a record).
"$bench/qm_bench_archive_window" "${archive_args[@]}" --new-layout

QT_QPA_PLATFORM=offscreen "$bench/qm_bench_print" --runs "$print_runs"
