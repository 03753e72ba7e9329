#!/usr/bin/env bash
# Makes a fresh Wine prefix and checks the package's install and uninstall
# scripts in it; leaves the saver installed with the default settings file
# for the end-to-end tests.
# usage: install_test.sh PREFIX PACKAGE_DIR (the unpacked package)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
package=$(cd "$2" && pwd)
export KORUNEX_WINEPREFIX=$prefix KORUNEX_WINE_TIMEOUT=120

windows="$prefix/drive_c/windows"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

run_script() {  # run_script NAME: runs NAME.cmd of the package; its output in $output
  output=$("$here/run-in-wine" cmd /c "Z:${package//\//\\}\\$1.cmd" 2>/dev/null | tr -d '\r')
  status=$?
  printf '%s\n' "$output" | sed "s/^/  $1: /"
  timeout 30 env WINEPREFIX="$prefix" wineserver -w
  return $status
}

grep -q 'Permission is hereby granted' "$package/LICENSE.txt" || fail "the package has no LICENSE.txt"
rm -rf "$prefix"
run_script install || fail "install ended with $status"
cmp -s "$package/KORUNEX64.SCR" "$windows/system32/KORUNEX64.SCR" || fail "KORUNEX64.SCR is not in the system folder"
cmp -s "$package/KORUNEX.ini" "$windows/KORUNEX.ini" || fail "KORUNEX.ini is not in the Windows folder"

# A user's own settings and shapes survive a second install and an uninstall.
printf '[KORUNEX]\r\nCOLOR=5\r\n' > "$windows/KORUNEX.ini"
run_script install || fail "second install ended with $status"
grep -q 'COLOR=5' "$windows/KORUNEX.ini" || fail "the second install overwrote the user's KORUNEX.ini"
grep -q 'Kept the existing' <<<"$output" || fail "the second install did not say it kept KORUNEX.ini"

run_script uninstall || fail "uninstall ended with $status"
[ ! -e "$windows/system32/KORUNEX64.SCR" ] || fail "uninstall left KORUNEX64.SCR"
grep -q 'COLOR=5' "$windows/KORUNEX.ini" || fail "uninstall touched the user's KORUNEX.ini"

# Installed again, with the default file, for the end-to-end tests.
rm -f "$windows/KORUNEX.ini"
run_script install || fail "third install ended with $status"
cmp -s "$package/KORUNEX.ini" "$windows/KORUNEX.ini" || fail "KORUNEX.ini was not installed again"

[ $failures -eq 0 ] && echo "install and uninstall: all checks passed"
exit $((failures > 0))
