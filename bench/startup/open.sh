#!/usr/bin/env bash
# Start with a class file named on the command line (a double-click on the file) against a start
# without a file plus one reading of the file, each a new process started as the program's main
# starts, until the table's first paint: PAIRS rounds (at least 15), the order inside each round
# turning. Prints the medians (milliseconds) and the ratio with / (without + reading).
#   bench/startup/open.sh BUILD_DIR [PAIRS]
# Without a display it runs on Xvfb when xvfb-run is there, else it says so and skips.
set -euo pipefail
build=${1:?usage: open.sh BUILD_DIR [PAIRS]}
pairs=${2:-15}
[ "$pairs" -ge 15 ] || pairs=15
program="$build/bench/kirune-first-paint"
[ -x "$program" ] || { echo "open bench: $program is not built; skipped"; exit 0; }
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
on_a_display_with_a_class "open bench" "$0" "$program" "$build" "$pairs"
# The program's settings (placement, recent files) are read and written in a folder of its own.
export XDG_CONFIG_HOME="$work/config"

# Microseconds from the start of the process to the table's first paint.
paint() {
  local start line
  start=$(date +%s%N)
  line=$("$program" --as-main "$@" 2>/dev/null | grep '^first-paint ' || true)
  [ -n "$line" ] || { echo "open bench: the table was not painted" >&2; exit 1; }
  set -- $line
  echo $(( ($2 - start) / 1000 ))
}
# Microseconds of one reading of the file.
reading() {
  local line
  line=$("$program" --read "$work/class.txt" | grep '^read-time ')
  set -- $line
  echo $(( $2 / 1000 ))
}

: >"$work/with" >"$work/without" >"$work/read"
paint "$work/class.txt" >/dev/null # warm the caches once
for ((i = 0; i < pairs; i++)); do
  case $((i % 3)) in
    0) paint "$work/class.txt" >>"$work/with"; paint >>"$work/without"; reading >>"$work/read" ;;
    1) paint >>"$work/without"; reading >>"$work/read"; paint "$work/class.txt" >>"$work/with" ;;
    2) reading >>"$work/read"; paint "$work/class.txt" >>"$work/with"; paint >>"$work/without" ;;
  esac
done

w=$(median <"$work/with")
o=$(median <"$work/without")
r=$(median <"$work/read")
awk -v w="$w" -v o="$o" -v r="$r" -v n="$pairs" 'BEGIN {
  printf "start to the table shown, median of %d rounds: with the file %.1f ms, without %.1f ms, reading the file %.2f ms, ratio %.2f (target <= 1.20)\n", n, w / 1000, o / 1000, r / 1000, w / (o + r)
}'
