#!/bin/bash
# tests/package_test.sh BUILD-DIR -- builds the .deb with CPack, checks what it
# holds, unpacks it into a scratch root and runs what it installed there.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >cpack.log 2>&1) ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/*.deb)
fail() { echo "FAIL: $*"; exit 1; }

contents=$(dpkg-deb -c "$deb")
for path in ./usr/games/twisty-cube ./usr/share/man/man6/twisty-cube.6.gz \
            ./usr/share/applications/twisty-cube.desktop \
            ./usr/share/icons/hicolor/128x128/apps/twisty-cube.png; do
    grep -q " $path\$" <<<"$contents" || fail "$path is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q libglut <<<"$depends" || fail "no dependency on the GLUT library: $depends"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/twisty-cube.desktop
grep -qx 'Terminal=true' "$desktop" || fail "the desktop entry does not start a terminal"
grep -qx 'Exec=twisty-cube' "$desktop" || fail "the desktop entry runs something else"
grep -qx 'Icon=twisty-cube' "$desktop" || fail "the desktop entry names another icon"
page=$(MANWIDTH=80 man -l "$root/usr/share/man/man6/twisty-cube.6.gz" 2>&1)
for word in EXIT 'no terminal' 'whole cube' Left Up; do
    grep -q "$word" <<<"$page" || fail "the manual page says nothing of '$word'"
done
# The installed program runs: with no terminal it says so and exits 1.
set +e
err=$(setsid "$root/usr/games/twisty-cube" </dev/null 2>&1 >/dev/null)
status=$?
set -e
[ $status -eq 1 ] || fail "installed program exited $status without a terminal"
grep -q "no console" <<<"$err" || fail "installed program said: $err"
echo "package test: the .deb holds and installs all it should"
