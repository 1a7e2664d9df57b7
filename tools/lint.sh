#!/usr/bin/env bash
# clang-tidy (with the checked-in .clang-tidy) over the program's sources on both hosts, and
# cppcheck over all of src/. Needs the ci and win32-ci build trees for their compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/ci/compile_commands.json ] || cmake --preset ci >/dev/null
[ -f build/win32/compile_commands.json ] || cmake --preset win32-ci >/dev/null

echo "clang-tidy: native sources"
clang-tidy -p build/ci --quiet src/main.cpp src/checks/*.cpp src/host/host_shared.cpp src/host/host_posix.cpp

echo "clang-tidy: Windows host"
cxx_include=$(ls -d /usr/lib/gcc/i686-w64-mingw32/*-win32/include/c++ | head -n 1)
clang-tidy -p build/win32 --quiet --extra-arg=--target=i686-w64-mingw32 \
  --extra-arg=-isystem"$cxx_include" --extra-arg=-isystem"$cxx_include/i686-w64-mingw32" src/host/host_win32.cpp

echo "cppcheck"
# useStlAlgorithm: the check sequence reads best as the plain loop that it is.
cppcheck --enable=warning,style,performance,portability --std=c++17 --error-exitcode=1 --inline-suppr --quiet \
  --suppress=useStlAlgorithm --suppress=missingIncludeSystem -I src src
echo "lint clean"
