#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Kirune (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRUNE_TESTS=OFF \
      -DKIRUNE_BENCH=OFF >/dev/null
cmake --build build/release
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Kirune needs a display, and none was found (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
  echo "On a machine without a screen, run it under a virtual one instead:" >&2
  echo "    xvfb-run -a scripts/run.sh" >&2
  exit 1
fi
exec build/release/src/app/kirune "$@"
