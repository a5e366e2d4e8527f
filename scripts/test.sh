#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs them through CTest, builds the Release configuration with the
# default options (tests and benchmarks included) and runs every benchmark once briefly, builds the
# Debian package from it and installs, runs and removes it, then runs the file-reader fuzzers
# briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIRUNE_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
ctest --test-dir build/asan --output-on-failure -j "$jobs"

# The Release build with the default options must build (warnings are errors there too), and
# every benchmark must still run.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$jobs"
build/release/bench/kirune-bench --benchmark_min_time=0.01
# The start-up scripts, once each, on a virtual screen as a desktop would show the windows: the
# start to the first paint against a bare Qt window, and a start with a class file named on the
# command line against one without it. They measure; a screen that cannot be had skips them.
bench/startup/run.sh build/release 31 || echo "start-up bench: not run"
bench/startup/open.sh build/release 31 || echo "open bench: not run"
# The Debian package, made from the same Release build and checked by lintian, then installed,
# used and removed as a technician would.
scripts/package.sh build/release
tests/packaging/install_run_remove.sh build/kirune_*_amd64.deb

# A short, fixed-seed run of each fuzz target over the corpus kept in the repository. The fuzz
# build keeps its assertions and sanitizers but is optimised, as libFuzzer expects.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    "-DCMAKE_CXX_FLAGS_DEBUG=-g -O2" -DKIRUNE_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "$jobs"
for target in build/fuzz/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  scratch=$(mktemp -d)
  corpus="fuzz/corpus/${name#fuzz_}"
  echo "Fuzzing $name for 20 seconds"
  "$target" -seed=1 -max_total_time=20 -rss_limit_mb=2048 -print_final_stats=1 "$scratch" \
      "$corpus" 2>&1 | tail -n 5
  rm -rf "$scratch"
done
echo "All tests passed."
