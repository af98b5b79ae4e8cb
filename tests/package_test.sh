#!/bin/bash
# tests/package_test.sh BUILD-DIR|FILE.deb -- builds the .deb with CPack (or takes the one
# given), runs Debian's checks on it and on what it installs, checks what lintian does not,
# and runs the program it installed. That a commit makes the same .deb twice is
# scripts/check-release's to show.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
deb=$1
if [[ $deb != *.deb ]]; then
    (cd "$work" && cpack -G DEB --config "$1/CPackConfig.cmake")
    deb=$(ls "$work"/*.deb)
fi
# Packagers give their own maintainer address; its tags are theirs to judge. Lintian also
# judges the section, the manual, the copyright, the changelog, the hardening it can see, and
# a program whose libraries the package does not depend on.
lintian --pedantic -I --fail-on error,warning,info,pedantic \
    --suppress-tags bogus-mail-host,malformed-contact,no-phrase,root-in-contact "$deb" ||
    fail "lintian found faults"

root=$work/root
dpkg-deb -x "$deb" "$root"
# The validators below fail on a desktop entry or metainfo left out; nothing checks the icon.
compgen -G "$root/usr/share/icons/hicolor/*/apps/twisty-cube.png" || fail "no icon for the menu"
# A description line that starts with two blanks is shown as it stands, unwrapped.
[[ $(dpkg-deb -f "$deb" Description) != *$'\n  '* ]] || fail "the description has unwrapped lines"
appstreamcli validate --no-net --pedantic --strict "$root"/usr/share/metainfo/*.xml | tee "$work/as" ||
    fail "the metainfo does not validate"
# Pedantic issues (P:) leave its status 0.
! grep -q '^P:' "$work/as" || fail "the metainfo has pedantic issues"
desktop-file-validate "$root/usr/share/applications/twisty-cube.desktop" ||
    fail "the desktop entry does not validate"
grep -qx Terminal=true "$root/usr/share/applications/twisty-cube.desktop" ||
    fail "the desktop entry gives the menu no terminal"
# Debian 12's start files carry no control-flow marking, so no program has it.
hardening-check --quiet --nocfprotection "$root/usr/games/twisty-cube" || fail "not hardened"
# The installed program runs: with no terminal it says so and exits 1.
status=0
setsid "$root/usr/games/twisty-cube" </dev/null 2>"$work/err" || status=$?
[ $status = 1 ] && grep -q "no console" "$work/err" || fail "installed program: $status"
