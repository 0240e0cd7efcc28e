#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer; preset "fuzz", folder build-fuzz/) and runs
# each for the given number of seconds (default 60).
#
#   bash scripts/fuzz.sh [seconds] [--scratch]
#
# New inputs that reach new code are kept in tests/fuzz/corpus/<target>/;
# with --scratch (as CI runs it) they go to a temporary folder instead and
# the corpus is only read. An input that crashes is written to
# build-fuzz/crashes/ and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
scratch=0
if [ "${2:-}" = "--scratch" ]; then
  scratch=1
fi

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

targets=(date time_of_day duration settings_document ics_document item_documents text_outline)
mkdir -p build-fuzz/crashes
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=()
for target in "${targets[@]}"; do
  corpus="tests/fuzz/corpus/$target"
  mkdir -p "$corpus"
  if [ "$scratch" -eq 1 ]; then
    mkdir -p "$work/$target"
    folders=("$work/$target" "$corpus")
  else
    folders=("$corpus")
  fi
  echo "== fuzz_$target for ${seconds}s"
  if ! "build-fuzz/bin/fuzz_$target" "${folders[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
      -artifact_prefix="build-fuzz/crashes/$target-" -print_final_stats=1 \
      >"$work/$target.log" 2>&1; then
    tail -n 60 "$work/$target.log"
    failed+=("$target")
  else
    grep -E "^stat::number_of_executed_units|^Done" "$work/$target.log" || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found crashes in: ${failed[*]} (inputs in build-fuzz/crashes/)"
  exit 1
fi
echo "No crash in ${#targets[@]} targets"
