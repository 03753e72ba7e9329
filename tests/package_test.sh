#!/usr/bin/env bash
# The Debian package that make deb builds: its contents, lintian, and, as root,
# an install with apt, the installed program under the real XScreenSaver with
# its option file, and a removal that leaves nothing behind.
# usage: package_test.sh SOURCE_DIR VERSION
set -u
source_dir=$(cd "$1" && pwd)
version=$2
deb="$source_dir/out/korunex_${version}_$(dpkg-architecture -q DEB_HOST_ARCH).deb"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

[ -f "$deb" ] || { echo "FAIL: no $deb (make deb builds it; the version of debian/changelog must be $version)"; exit 1; }

expected_files=(
  /usr/bin/korunex
  /usr/share/korunex/KORUNEX.ini
  /usr/share/xscreensaver/config/korunex.xml
  /usr/share/man/man6/korunex.6.gz
  /usr/share/doc/korunex/copyright
)
contents=$(dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }')
for f in "${expected_files[@]}"; do
  grep -q -x -F "$f" <<< "$contents" || fail "the package lacks $f"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] && ok "version $version" || fail "version $(dpkg-deb -f "$deb" Version)"

# The licence travels with the program.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/korunex/copyright | grep -q '^License: Expat' &&
  ok "the copyright file gives the MIT (Expat) licence" || fail "the copyright file gives no MIT (Expat) licence"

# Errors and warnings fail; what else lintian says is shown.
lintian_report=$(lintian --info --display-info "$deb" 2>&1 | grep -v 'running with root privileges')
[ -n "$lintian_report" ] && echo "$lintian_report"
grep -q '^[EW]: ' <<< "$lintian_report" && fail "lintian reports errors or warnings" ||
  ok "lintian reports no error and no warning"

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the install with apt needs root; contents and lintian checked"
  [ "$failures" -eq 0 ]
  exit
fi
if dpkg-query -W -f='${Status}' korunex 2> /dev/null | grep -q 'installed'; then
  echo "SKIP: korunex is already installed on this machine; the test leaves it alone"
  [ "$failures" -eq 0 ]
  exit
fi

apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=120 -y -q "$@" > "$work/apt.log" 2>&1; }
work=$(mktemp -d)
trap 'rm -rf "$work"; dpkg-query -W korunex > /dev/null 2>&1 && apt_get purge korunex' EXIT

if apt_get install "$deb"; then
  ok "apt installs the package"
  for f in "${expected_files[@]}"; do [ -s "$f" ] || fail "$f is not installed"; done
  zcat /usr/share/man/man6/korunex.6.gz | grep -q 'XSCREENSAVER_WINDOW' && ok "the manual page is installed" ||
    fail "the manual page does not describe XSCREENSAVER_WINDOW"
  "$source_dir/tests/x11/xscreensaver_test.sh" "$source_dir" --installed /usr/bin || fail "under XScreenSaver"
else
  cat "$work/apt.log"
  fail "apt cannot install the package"
fi

if apt_get purge korunex; then
  ok "apt removes the package"
  dpkg-query -W korunex > /dev/null 2>&1 && fail "dpkg still knows the package after the purge"
  for f in "${expected_files[@]}" /usr/share/korunex /usr/share/doc/korunex; do
    [ -e "$f" ] && fail "$f is left after the removal"
  done
else
  cat "$work/apt.log"
  fail "apt cannot remove the package"
fi

[ "$failures" -eq 0 ] && echo "the package installs, runs and goes cleanly"
[ "$failures" -eq 0 ]
