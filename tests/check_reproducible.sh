#!/usr/bin/env bash
# Builds readyscan.exe a second time, from the same source in a fresh build tree, and fails unless
# the bytes equal those of the given executable.
set -eu
source_dir=${1:?usage: check_reproducible.sh SOURCE_DIR readyscan.exe}
reference=${2:?usage: check_reproducible.sh SOURCE_DIR readyscan.exe}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
cmake -S "$source_dir" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" -DREADYSCAN_WERROR=ON >/dev/null
cmake --build "$tree" --target readyscan >/dev/null
if cmp "$reference" "$tree/readyscan.exe"; then
  echo "two builds give the same $(stat -c %s "$reference") bytes"
else
  echo "a second build of readyscan.exe differs from $reference"
  exit 1
fi
