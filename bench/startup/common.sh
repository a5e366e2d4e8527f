# shellcheck shell=bash
# What both start-up scripts (run.sh, open.sh) share; sourced by them.

# Without a display, runs the calling script again on Xvfb (or says so and ends); then makes the
# work folder $work (removed at the end) with the class file the programs open, and quiets Qt.
#   on_a_display_with_a_class NAME SCRIPT PROGRAM ARGUMENTS...
on_a_display_with_a_class() {
  local name=$1 script=$2 program=$3
  shift 3
  if [ -z "${DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    if command -v xvfb-run >/dev/null; then
      exec xvfb-run -a -s "-screen 0 1280x1024x24" "$script" "$@"
    fi
    echo "$name: no display and no xvfb-run; skipped"
    exit 0
  fi
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  "$program" --write-class "$work/class.txt"
  export QT_LOGGING_RULES="*.debug=false;qt.qpa.*=false"
}

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
