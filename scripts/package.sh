#!/usr/bin/env bash
# Builds the Debian package build/kirune_<version>_amd64.deb from a Release build with CPack, then
# checks it with lintian (an error fails; the warnings left are explained in packaging/).
#   scripts/package.sh [BUILD_DIR]
# BUILD_DIR is a Release build to reuse (scripts/test.sh passes its build/release); without it
# the program alone is built in build/package, without the tests and benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${1:-build/package}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRUNE_TESTS=OFF \
      -DKIRUNE_BENCH=OFF >/dev/null
fi
grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt" ||
  { echo "package: $build is not a Release build" >&2; exit 1; }
cmake --build "$build" -j "$(nproc)"
# CPack installs into its own staging folder under $build and writes the package there.
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/kirune_*_amd64.deb | head -n 1)
rm -f build/kirune_*_amd64.deb # one package in build/, the one just made
mv -f "$deb" build/
deb=build/$(basename "$deb")
# What it depends on is what the binaries need to run: never a package for building.
if dpkg-deb -f "$deb" Depends | tr ',' '\n' | grep -q -- '-dev\b'; then
  echo "package: $deb depends on a -dev package" >&2
  exit 1
fi
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "package: $deb"
