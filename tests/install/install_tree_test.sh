#!/usr/bin/env bash
# The installed tree: exactly the expected files, a desktop entry that
# validates, and manual pages that render without warnings and name every
# option and command of the programs' --help.
#   install_tree_test.sh BUILD-DIR
set -euo pipefail
build=$1
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

# Every option of `help` (and every command word given) must appear in the page.
check_page_covers() {
  local page=$1 help=$2
  shift 2
  render "$page"
  local word missing=()
  for word in $(grep -o -- '--[a-z0-9][a-z0-9-]*' <<<"$help" | sort -u) "$@"; do
    grep -q -- "$word" "$work/page.txt" || missing+=("$word")
  done
  if ((${#missing[@]})); then
    echo "FAIL: $(basename "$page") does not mention: ${missing[*]}"
    exit 1
  fi
}

man1=$root/share/man/man1
ctl_help=$("$root/bin/corvelctl" --help)
ctl_commands=$(sed -n '/^Commands:/,/^$/p' <<<"$ctl_help" | awk 'NR > 1 && NF {print $1}')
check_page_covers "$man1/corvelctl.1.gz" "$ctl_help" $ctl_commands
check_page_covers "$man1/corvel-sim.1.gz" "$("$root/bin/corvel-sim" --help)"
check_page_covers "$man1/corvel-setup.1.gz" "--simulate --version"
echo "install tree, desktop entry and manual pages: fine"
