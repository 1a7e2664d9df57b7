#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time (FUZZ_SECONDS, default 30) from its
# seed corpus and its regression cases. Any finding fails the run; its input is kept under
# build/fuzz/findings to be added to fuzz/regressions/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/findings
for target in path_scan env_lookup; do
  binary=build/fuzz/fuzz/fuzz_$target
  seeds=(fuzz/corpus/$target)
  [ -d fuzz/regressions/$target ] && seeds+=(fuzz/regressions/$target)
  work=$(mktemp -d)
  echo "fuzzing $target for ${seconds}s"
  "$binary" -max_len=40002 -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build/fuzz/findings/$target- "$work" "${seeds[@]}" 2>&1 | grep -E '^(#|Done|stat::number_of_executed_units|==)' | tail -n 3
  status=${PIPESTATUS[0]}
  rm -rf "$work"
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$target found a fault; inputs are in build/fuzz/findings"
    exit 1
  fi
done
