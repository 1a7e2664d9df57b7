#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12) and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" dpkg --add-architecture i386
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q \
  cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev \
  mingw-w64 wine wine32:i386 valgrind strace clang-tidy cppcheck

step() { printf '\n=== %s\n' "$*"; }

step "Windows build"
cmake --preset win32-ci
cmake --build --preset win32-ci

step "native build and tests, Wine suite included"
cmake --preset ci
cmake --build --preset ci
ctest --preset ci

step "native suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

step "fuzzing"
FUZZ_SECONDS=${FUZZ_SECONDS:-30} tools/fuzz.sh

step "clang-tidy and cppcheck"
tools/lint.sh

step "benchmarks (figures only; no timing is asserted)"
build/ci/bench/bench_path_scan --benchmark_min_time=0.05
bench/run_process_bench.sh build/ci 30

step "all suites passed"
