#!/usr/bin/env bash
# Installs Vantrel for this user: builds Release and installs it under ~/.local (or the prefix given
# with --prefix): the program with its modules and artwork in lib/vantrel/, the command
# bin/vantrel, the menu entry share/applications/vantrel.desktop and the icon in
# share/icons/hicolor/. Launch at login then starts the installed program.
#
#   scripts/install.sh [--prefix DIR]               build and install
#   scripts/install.sh [--prefix DIR] --uninstall   remove what was installed, and the login entry
#                                                   that starts it; settings and data stay
set -euo pipefail
cd "$(dirname "$0")/.."

prefix="$HOME/.local"
action=install
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="${2:?--prefix needs a folder}"; shift 2 ;;
    --prefix=*) prefix="${1#--prefix=}"; shift ;;
    --uninstall) action=uninstall; shift ;;
    -h|--help) sed -n '2,9p' "$0" | cut -c3-; exit 0 ;;
    *) echo "install.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
prefix="$(realpath -m "$prefix")"
config="${XDG_CONFIG_HOME:-$HOME/.config}"
data="${XDG_DATA_HOME:-$HOME/.local/share}"

refresh_menus() {
  command -v update-desktop-database >/dev/null && update-desktop-database -q "$prefix/share/applications" || true
  command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$prefix/share/icons/hicolor" || true
}

if [ "$action" = install ]; then
  scripts/setup.sh
  scripts/build.sh release
  cmake --install build/release --prefix "$prefix"
  refresh_menus
  echo "Vantrel is installed: $prefix/bin/vantrel, and in the desktop's menu."
  exit 0
fi

program="$prefix/lib/vantrel/vantrel"
# Only what this script installed goes: the command if it is our link, the program's own folder.
if [ -L "$prefix/bin/vantrel" ] && [ "$(readlink "$prefix/bin/vantrel")" = ../lib/vantrel/vantrel ]; then
  rm -f "$prefix/bin/vantrel"
fi
rm -rf "$prefix/lib/vantrel"
rm -f "$prefix/share/applications/vantrel.desktop" "$prefix/share/icons/hicolor/scalable/apps/vantrel.svg"
# The login entry that starts the program just removed would start nothing.
entry="$config/autostart/vantrel.desktop"
if [ -f "$entry" ] && grep -qF "$program" "$entry"; then
  rm -f "$entry"
fi
refresh_menus
echo "Vantrel is removed from $prefix. Its settings ($config/Vantrel/) and data ($data/Vantrel/) stay."
