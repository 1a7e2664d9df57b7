#!/usr/bin/env bash
# Whole-process cost of readyscan against the floor (bench/floor.cpp: the same open attempts and
# nothing else) and against the same checks written as a shell script (bench/readyscan.sh), timed
# side by side, alternating, with COMSPEC empty so that no child process runs.
#
#   bench/run_process_bench.sh [BUILD_DIR] [ROUNDS]      (defaults: build/ci, 200)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build/ci}")
rounds=${2:-200}
for tool in readyscan bench/bench_floor bench/time_runs; do
  [ -x "$build/$tool" ] || { echo "missing $build/$tool: configure with -DREADYSCAN_BENCH=ON and build"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
touch 'C:\Progra~1\ARM\ADSv1_2\Bin\tcc.exe' 'C:\Program Files\ARM\ADSv1_2\Bin\tcpp.dll'
touch -d '2002-09-03 12:00 UTC' 'C:\Program Files\ARM\ADSv1_2\Bin\tcpp.dll'

printf '%-8s %12s %12s %12s %16s %16s\n' entries readyscan_ms floor_ms script_ms readyscan/floor script/readyscan
for entries in 10 20 1000 8000; do
  path=$(awk -v n="$entries" 'BEGIN { for (i = 0; i < n; i++) printf "%sC:\\Tools%d", (i ? ";" : ""), i }')
  results=$(env -i OS=Windows_NT COMSPEC= TZ=UTC PATH="$path" "$build/bench/time_runs" "$rounds" \
    readyscan "$build/readyscan" -- floor "$build/bench/bench_floor" -- script /bin/sh "$here/readyscan.sh")
  awk -v n="$entries" '{ t[$1] = $2 } END {
    printf "%-8s %12.3f %12.3f %12.3f %16.3f %16.1f\n", n, t["readyscan"], t["floor"], t["script"],
      t["readyscan"] / t["floor"], t["script"] / t["readyscan"] }' <<<"$results"
done
