#!/usr/bin/env bash
# The installed tree: exactly the expected files, a desktop entry that
# validates, and manual pages that render without warnings; each program's
# manual page and documentation page name every option, environment variable
# and command of its --help.
#   install_tree_test.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
build=$1
docs=$2/docs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root

cmake --install "$build" --prefix "$root" >/dev/null

expected="bin/corvel-setup
bin/corvel-sim
bin/corvelctl
share/applications/corvel-setup.desktop
share/doc/corvel-setup/changelog.gz
share/doc/corvel-setup/copyright
share/doc/corvel-setup/guide/corvelctl.html
share/doc/corvel-setup/guide/datalog.html
share/doc/corvel-setup/guide/index.html
share/doc/corvel-setup/guide/port-map.html
share/doc/corvel-setup/guide/running.html
share/doc/corvel-setup/guide/simulator.html
share/icons/hicolor/128x128/apps/corvel-setup.png
share/icons/hicolor/16x16/apps/corvel-setup.png
share/icons/hicolor/256x256/apps/corvel-setup.png
share/icons/hicolor/32x32/apps/corvel-setup.png
share/icons/hicolor/48x48/apps/corvel-setup.png
share/icons/hicolor/64x64/apps/corvel-setup.png
share/icons/hicolor/scalable/apps/corvel-setup.svg
share/man/man1/corvel-setup.1.gz
share/man/man1/corvel-sim.1.gz
share/man/man1/corvelctl.1.gz"
actual=$(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
if [[ $actual != "$expected" ]]; then
  echo "FAIL: the installed files differ from the expected list:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi

desktop-file-validate "$root/share/applications/corvel-setup.desktop"

# Renders a manual page as plain text; any warning of groff or man fails.
render() {
  local warnings
  warnings=$(LC_ALL=C MANWIDTH=80 man --warnings -l "$1" 2>&1 >"$work/page.txt") || { echo "FAIL: man -l $1"; exit 1; }
  if [[ -n $warnings ]]; then
    echo "FAIL: $1 renders with warnings:"
    echo "$warnings"
    exit 1
  fi
}

# Every option and environment variable of `help`, and every command word
# given, must appear in the text file `text`; in a documentation page an
# option may also appear as its setting, `--NAME` as `NAME` in backticks.
check_covers() {
  local text=$1 help=$2
  shift 2
  local word missing=()
  for word in $(grep -oE -- '--[a-z0-9][a-z0-9-]*|\<[A-Z][A-Z0-9]*_[A-Z0-9_]+\>' <<<"$help" | sort -u) "$@"; do
    grep -q -- "$word" "$text" || grep -qF -- "\`${word#--}\`" "$text" || missing+=("$word")
  done
  if ((${#missing[@]})); then
    echo "FAIL: $(basename "$text") does not mention: ${missing[*]}"
    exit 1
  fi
}

# The program's manual page and its documentation page both cover its --help.
check_documented() {
  local program=$1 doc=$2
  shift 2
  local help
  help=$("$root/bin/$program" --help)
  render "$root/share/man/man1/$program.1.gz"
  check_covers "$work/page.txt" "$help" "$@"
  check_covers "$docs/$doc" "$help" "$@"
}

ctl_commands=$("$root/bin/corvelctl" --help | sed -n '/^Commands:/,/^$/p' | awk 'NR > 1 && NF {print $1}')
check_documented corvelctl corvelctl.md $ctl_commands
check_documented corvel-sim simulator.md
check_documented corvel-setup running.md
echo "install tree, desktop entry, manual pages and documentation pages: fine"
