#!/bin/bash
# tests/package_test.sh BUILD-DIR|FILE.deb -- builds the .deb with CPack twice, the same bytes (or
# takes the one given), runs Debian's checks on it, checks what it holds,
# unpacks it into a scratch root and runs what it installed there.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

if [[ $1 == *.deb ]]; then deb=$1; else
    # Made twice, at two times in two time zones, it is the same .deb.
    export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(date +%s)}
    umask 022
    for run in 1 2; do
        mkdir "$work/$run"
        (cd "$work/$run" && TZ=UTC-$run cpack -G DEB --config "$1/CPackConfig.cmake" >cpack.log 2>&1) ||
            { cat "$work/$run/cpack.log"; exit 1; }
    done
    deb=$(ls "$work"/1/*.deb)
    cmp "$deb" "$work"/2/*.deb || { diffoscope "$deb" "$work"/2/*.deb; fail "two runs made two .deb files"; }
fi
# Packagers give their own maintainer address; its tags are theirs to judge.
mail_tags=bogus-mail-host,malformed-contact,no-phrase,root-in-contact
lintian --pedantic -I --fail-on error,warning --suppress-tags "$mail_tags" "$deb" >"$work/lint" 2>&1 ||
    { cat "$work/lint"; fail "lintian found errors or warnings"; }

contents=$(dpkg-deb -c "$deb") # whole: a grep that stops early would cut dpkg-deb's tar off
for path in ./usr/games/twisty-cube ./usr/share/{man/man6/twisty-cube.6.gz,applications/twisty-cube.desktop} \
            ./usr/share/doc/twisty-cube/{copyright,changelog.gz} \
            ./usr/share/metainfo/org.twisty_cube.twisty_cube.metainfo.xml \
            ./usr/share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/twisty-cube.png; do
    grep -q " $path\$" <<<"$contents" || fail "$path is not in the package"
done
grep -q libglut < <(dpkg-deb -f "$deb" Depends) || fail "no dependency on the GLUT library"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"
grep -q '^  ' < <(dpkg-deb -f "$deb" Description) && fail "the description has lines shown unwrapped"

root=$work/root
dpkg-deb -x "$deb" "$root"
appstreamcli validate --no-net --pedantic --strict "$root"/usr/share/metainfo/*.xml >"$work/as" &&
    ! grep -q '^P:' "$work/as" || { cat "$work/as"; fail "the metainfo does not validate"; }
desktop=$root/usr/share/applications/twisty-cube.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop entry: $out"
[ "$(grep -cxE 'Terminal=true|Exec=twisty-cube|Icon=twisty-cube' "$desktop")" = 3 ] ||
    fail "the desktop entry lacks Terminal=true, Exec=twisty-cube or Icon=twisty-cube"
binary=$root/usr/games/twisty-cube
# Debian 12's start files carry no control-flow marking, so no program has it.
hardening-check --quiet --nocfprotection "$binary" || fail "the program is not hardened"
# The installed program runs: with no terminal it says so and exits 1.
status=0 && err=$(setsid "$binary" </dev/null 2>&1 >/dev/null) || status=$?
[ $status -eq 1 ] && grep -q "no console" <<<"$err" || fail "installed program: $status, $err"
