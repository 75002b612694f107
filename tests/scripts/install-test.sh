#!/usr/bin/env bash
# `cmake --install` of a build puts the program with its modules and artwork in lib/vantrel/, the
# command in bin/, the menu entry naming the installed program and the icon; install.sh
# --uninstall removes them and the login entry that starts that program, and nothing else.
set -euo pipefail
root="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/my prefix"
fail() { echo "$1"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/out" || { cat "$work/out"; fail "install failed"; }
for f in lib/vantrel/vantrel lib/vantrel/libvantrel_sound.so lib/vantrel/libvantrel_camera.so \
  lib/vantrel/libvantrel_http.so lib/vantrel/Vantrel_Vantrel.bundle/midnight-current-dark.png \
  share/icons/hicolor/scalable/apps/vantrel.svg share/applications/vantrel.desktop; do
  [ -f "$prefix/$f" ] || fail "$f was not installed"
done
[ "$(readlink "$prefix/bin/vantrel")" = ../lib/vantrel/vantrel ] || fail "bin/vantrel does not lead to the program"
grep -qx "Exec=\"$prefix/lib/vantrel/vantrel\"" "$prefix/share/applications/vantrel.desktop" ||
  fail "the menu entry does not name the installed program"
[ "$(ASAN_OPTIONS=detect_leaks=0 "$prefix/bin/vantrel" --version)" = "Vantrel 0.1" ] || fail "the installed command does not run"

mkdir -p "$work/config/autostart" "$work/config/Vantrel" "$prefix/lib/other"
printf '[Desktop Entry]\nExec="%s/lib/vantrel/vantrel"\n' "$prefix" >"$work/config/autostart/vantrel.desktop"
HOME="$work" XDG_CONFIG_HOME="$work/config" "$root/scripts/install.sh" --prefix "$prefix" --uninstall >/dev/null
for f in bin/vantrel lib/vantrel share/applications/vantrel.desktop share/icons/hicolor/scalable/apps/vantrel.svg; do
  [ ! -e "$prefix/$f" ] && [ ! -L "$prefix/$f" ] || fail "$f stayed"
done
[ ! -e "$work/config/autostart/vantrel.desktop" ] || fail "the login entry of the removed program stayed"
[ -d "$work/config/Vantrel" ] && [ -d "$prefix/lib/other" ] || fail "something else was removed"
echo "install test passed"
