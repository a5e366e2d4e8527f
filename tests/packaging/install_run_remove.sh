#!/usr/bin/env bash
# The package as a school's technician meets it: apt-get installs it with what it depends on, the
# installed kirune-tool checks a class file and the installed kirune starts with it to its first
# paint on a virtual screen, then apt-get removes the package and none of its files is left.
#   tests/packaging/install_run_remove.sh build/kirune_<version>_amd64.deb
# Installing needs root (or sudo without a password); without it the check says so and skips.
set -euo pipefail
cd "$(dirname "$0")/../.."
deb=${1:?usage: install_run_remove.sh PACKAGE.deb}
case $deb in /*) ;; *) deb=./$deb ;; esac # apt-get takes a file for a package name by its path
fixture=tests/data/sample_class.txt
say() { echo "package check: $*"; }
fail() { say "FAILED: $*" >&2; exit 1; }

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo -n true 2>/dev/null || { say "skipped: installing a package needs root or sudo"; exit 0; }
  sudo="sudo -n"
fi
if dpkg-query -W -f='${Status}' kirune 2>/dev/null | grep -q 'ok installed'; then
  say "skipped: a kirune package is installed here already, and the check would remove it"
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
work=$(mktemp -d)
installed=false
finish() {
  if $installed; then $sudo apt-get remove -y -qq kirune >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap finish EXIT
$sudo apt-get install -y -qq "$deb" >/dev/null
installed=true
dpkg -L kirune >"$work/files"
version=$(dpkg-query -W -f='${Version}' kirune)

# The installed tool: its version is the package's, and it reads the class file.
[ "$(/usr/bin/kirune-tool --version)" = "kirune-tool $version" ] ||
  fail "kirune-tool --version does not say $version"
summary=$(/usr/bin/kirune-tool check "$fixture") || fail "kirune-tool check $fixture"
say "kirune-tool check: $summary"

# The installed program, in a home of its own, with the class file, to its first paint.
mkdir -m 700 "$work/home" "$work/runtime"
paint=$(env -u QT_QPA_PLATFORM HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
            XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
            KIRUNE_EXIT_AFTER_FIRST_PAINT=1 \
            xvfb-run -a -s "-screen 0 1280x1024x24" timeout 120 /usr/bin/kirune "$fixture" \
            2>"$work/stderr" | grep '^first-paint ') ||
  { cat "$work/stderr" >&2; fail "/usr/bin/kirune did not paint its window"; }
say "/usr/bin/kirune painted its window (${paint#first-paint * } kB at that moment)"

# Removed, it leaves none of its files: every file is gone, and a folder stays only while
# another package owns it too.
$sudo apt-get remove -y -qq kirune >/dev/null
installed=false
left=0
while IFS= read -r path; do
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    dpkg-query -S "$path" >/dev/null 2>&1 && continue
  elif [ ! -e "$path" ] && [ ! -L "$path" ]; then
    continue
  fi
  say "left after removal: $path" >&2
  left=$((left + 1))
done <"$work/files"
[ "$left" -eq 0 ] || fail "$left of the package's paths are left"
say "installed, ran and removed $(basename "$deb") ($(wc -l <"$work/files") paths)"
