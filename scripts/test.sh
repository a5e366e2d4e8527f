#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs them through CTest, then runs the file-reader fuzzers briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIRUNE_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
ctest --test-dir build/asan --output-on-failure -j "$jobs"

# A short, fixed-seed run of each fuzz target over the corpus kept in the repository.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DKIRUNE_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "$jobs"
for target in build/fuzz/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  scratch=$(mktemp -d)
  echo "Fuzzing $name for 20 seconds"
  "$target" -seed=1 -max_total_time=20 -print_final_stats=1 "$scratch" "fuzz/corpus/${name#fuzz_}" \
      2>&1 | tail -n 3
  rm -rf "$scratch"
done
echo "All tests passed."
