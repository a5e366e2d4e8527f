#!/usr/bin/env bash
# Start to first paint of the program's main window against a bare Qt window of the same content,
# run side by side: PAIRS pairs (at least 15), the order inside each pair alternating. Prints the
# medians of both (milliseconds from the start of the process to its first paint, and the peak
# memory in kB at that moment) and their ratios.
#   bench/startup/run.sh BUILD_DIR [PAIRS]
# Without a display it runs on Xvfb when xvfb-run is there, else it says so and skips.
set -euo pipefail
build=${1:?usage: run.sh BUILD_DIR [PAIRS]}
pairs=${2:-15}
[ "$pairs" -ge 15 ] || pairs=15
program="$build/bench/kirune-first-paint"
bare="$build/bench/kirune-bare-window"
for exe in "$program" "$bare"; do
  [ -x "$exe" ] || { echo "start-up bench: $exe is not built; skipped"; exit 0; }
done
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
on_a_display_with_a_class "start-up bench" "$0" "$program" "$build" "$pairs"

# One run: prints "milliseconds peak-kB".
run() {
  local start line
  start=$(date +%s%N)
  line=$("$@" 2>/dev/null | grep '^first-paint ' || true)
  [ -n "$line" ] || { echo "start-up bench: $1 did not paint" >&2; exit 1; }
  set -- $line
  echo "$(( ($2 - start) / 1000 ))" "$3"
}

: >"$work/program" >"$work/bare"
"$bare" >/dev/null 2>&1 || true # warm the caches once for both
"$program" "$work/class.txt" >/dev/null 2>&1 || true
for ((i = 0; i < pairs; i++)); do
  if ((i % 2 == 0)); then
    run "$program" "$work/class.txt" >>"$work/program"
    run "$bare" >>"$work/bare"
  else
    run "$bare" >>"$work/bare"
    run "$program" "$work/class.txt" >>"$work/program"
  fi
done

pt=$(cut -d' ' -f1 "$work/program" | median)
bt=$(cut -d' ' -f1 "$work/bare" | median)
pm=$(cut -d' ' -f2 "$work/program" | median)
bm=$(cut -d' ' -f2 "$work/bare" | median)
awk -v pt="$pt" -v bt="$bt" -v pm="$pm" -v bm="$bm" -v n="$pairs" 'BEGIN {
  printf "start to first paint, median of %d pairs: program %.1f ms, bare window %.1f ms, ratio %.2f (target <= 1.10)\n", n, pt / 1000, bt / 1000, pt / bt
  printf "peak memory at first paint, median: program %d kB, bare window %d kB, ratio %.2f (target <= 1.10)\n", pm, bm, pm / bm
}'
