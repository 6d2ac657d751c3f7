#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# into build-fuzz/ and runs each for a bounded time over a copy of its committed
# corpus in fuzz/corpus/<target>/. Fails on any finding: a crash, a sanitizer
# report, a leak, a timeout, an unexpected exception or a broken check.
#
#   scripts/fuzz.sh [seconds-per-target]    (default 60)
#
# The committed corpus is never grown here; a finding's input is kept in
# build-fuzz/findings/ to be fixed and then added to the corpus as a regression case.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="$root/build-fuzz"

# clang and the compiler-rt runtimes that hold libFuzzer and the sanitizers.
"$root/scripts/install-dependencies.sh" clang libclang-rt-14-dev

# target, longest input, dictionary, further options. The template reader must
# not allocate out of proportion to its input: no block of 1 MiB for 64 KiB.
targets=(
  "fuzz_settings_reader 4096 settings.dict"
  "fuzz_archive_read 65536 archive.dict"
  "fuzz_archive_append 65536 archive.dict"
  "fuzz_xls_active_sheet 65536 xls.dict -malloc_limit_mb=1"
)
names=()
for entry in "${targets[@]}"; do
  read -r name _ <<<"$entry"
  names+=("$name")
done

(cd "$root" && cmake --preset fuzz && cmake --build --preset fuzz --target "${names[@]}" -j"$(nproc)")

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="$build/findings"
failed=()
for entry in "${targets[@]}"; do
  read -r name max_len dict options <<<"$entry"
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  cp "$root/fuzz/corpus/$name/"* "$work/$name/corpus/"
  echo "== $name: ${seconds}s"
  if ! (cd "$work/$name" && "$build/fuzz/$name" -max_total_time="$seconds" -max_len="$max_len" \
        -dict="$root/fuzz/dict/$dict" ${options:+$options} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/$name/artifacts/" corpus); then
    mkdir -p "$findings/$name"
    cp "$work/$name/artifacts/"* "$findings/$name/" 2>/dev/null || true
    echo "!! $name found a fault; its input is in $findings/$name/"
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "Fuzzing found nothing in ${#targets[@]} targets (${seconds}s each)."
