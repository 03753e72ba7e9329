#!/usr/bin/env bash
# The installer under Wine's msiexec, in a fresh prefix of its own: where the
# files land, that the user's KORUNEX.ini survives removal, reinstall and
# upgrade, that an install over itself changes nothing, and that a refused
# grant fails the install. Leaves the package installed with the default
# KORUNEX.ini for the drawing test.
# usage: msi_test.sh PREFIX KORUNEX-x64.msi STAGE_DIR ICON GRANT_STANDIN.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1 msi=$2 stage=$3 icon=$4 standin=$5
export KORUNEX_WINEPREFIX=$prefix
. "$here/../../scripts/wine-prefix.sh"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
winpath() { echo "Z:${1//\//\\}"; }

rm -rf "$prefix"
korunex_wine_prefix "$here/../.." "msi_test"
# No menu entries on the host for the shortcut the package makes; the grant
# stand-in in place of Wine's own icacls.exe.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d;icacls.exe=n"
c=$prefix/drive_c
windows=$c/windows
programs="$c/Program Files/KORUNEX"
cp "$standin" "$windows/system32/icacls.exe"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
msiexec() {  # msiexec ARGS...: its exit status, once the prefix's Wine has ended
  timeout 200 xvfb-run -a wine msiexec "$@" /qn > /dev/null 2>&1
  local status=$?
  timeout 60 wineserver -w
  return $status
}

# The products in the registry's list of installed programs, as "name version".
products() {
  awk '/^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\/ { key = 1; next }
       /^\[/ { key = 0 }
       key && /^"DisplayName"=/ { name = $0; sub(/^"DisplayName"="/, "", name); sub(/"$/, "", name) }
       key && /^"DisplayVersion"=/ { v = $0; sub(/^"DisplayVersion"="/, "", v); sub(/"$/, "", v); print name " " v }' \
    "$prefix/system.reg" | grep '^KORUNEX' | sort
}
# Wine puts a per-machine menu shortcut into the user's Start menu.
shortcuts() {
  find "$c/ProgramData/Microsoft/Windows/Start Menu/Programs" \
       "$c/users"/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs -name 'KORUNEX*.lnk' 2>/dev/null
}
# What an install leaves: the files with their times, the menu and the products.
state() {
  (cd "$c" && find windows/system32/KORUNEX64.SCR windows/KORUNEX.ini "Program Files/KORUNEX" \
     -type f -printf '%p %s %T@\n' 2>/dev/null | sort)
  shortcuts | sed "s|$c/||"
  products
}
user_ini() { printf '[KORUNEX]\r\nCOLOR=5\r\n' > "$windows/KORUNEX.ini"; }
has_user_ini() { grep -q 'COLOR=5' "$windows/KORUNEX.ini" 2>/dev/null; }

version=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F '\t' '$1 == "ProductVersion" { print $2 }')
msiexec /i "$(winpath "$msi")" || fail "the install ended with $?"
cmp -s "$stage/KORUNEX64.SCR" "$windows/system32/KORUNEX64.SCR" || fail "KORUNEX64.SCR is not in system32"
cmp -s "$stage/KORUNEX.ini" "$windows/KORUNEX.ini" || fail "the default KORUNEX.ini is not in the Windows folder"
for f in korunex-text.exe READ-ME.txt LICENSE.txt; do
  cmp -s "$stage/$f" "$programs/$f" || fail "$f is not in Program Files\\KORUNEX"
done
[ "$(shortcuts | wc -l)" -eq 1 ] || fail "not one Start-menu shortcut: $(shortcuts)"
grep -a -q -F 'C:\Program Files\KORUNEX\korunex-text.exe' "$(shortcuts | head -n 1)" 2>/dev/null ||
  fail "the shortcut does not start the installed korunex-text.exe"
[ "$(products)" = "KORUNEX screen saver $version" ] || fail "installed products: $(products)"
cmp -s "$icon" "$(ls "$windows"/Installer/*/korunex.ico 2>/dev/null | head -n 1)" ||
  fail "the icon for the list of programs was not installed"
grant_calls() { tr -d '\r' < "$c/grant-calls.txt" 2>/dev/null; }
grant_calls | grep -qxF 'exists [C:\windows\KORUNEX.ini] [/grant] [*S-1-5-32-545:M]' ||
  fail "the Users group was not granted the right to change KORUNEX.ini: $(grant_calls)"

# Over itself: nothing changes, not even a file's time.
state > "$work/before"
msiexec /i "$(winpath "$msi")" || fail "the install over itself ended with $?"
state > "$work/after"
diff "$work/before" "$work/after" > /dev/null || fail "the install over itself changed: $(diff "$work/before" "$work/after")"

# A user's settings survive a removal and a second install.
user_ini
msiexec /x "$(winpath "$msi")" || fail "the removal ended with $?"
[ ! -e "$windows/system32/KORUNEX64.SCR" ] || fail "the removal left KORUNEX64.SCR"
[ ! -e "$programs" ] || fail "the removal left Program Files\\KORUNEX"
[ -z "$(shortcuts)" ] || fail "the removal left the shortcut"
[ -z "$(products)" ] || fail "the removal left the product listed: $(products)"
has_user_ini || fail "the removal took the user's KORUNEX.ini"
rm -f "$c/grant-calls.txt"
msiexec /i "$(winpath "$msi")" || fail "the second install ended with $?"
has_user_ini || fail "the second install replaced the user's KORUNEX.ini"
grant_calls | grep -q '^exists \[C:\\windows\\KORUNEX.ini\]' ||
  fail "the kept KORUNEX.ini was not granted again"

# A newer build, only its last number higher (which Windows by itself does
# not compare), replaces this one and keeps the user's file.
IFS=. read -r a b d e <<<"$version"
newer="$a.$b.$d.$((e + 1))"
"$here/../../scripts/make-msi" "$newer" "$stage" "$icon" "$work/newer.msi" > /dev/null || fail "make-msi $newer"
user_ini
msiexec /i "$(winpath "$work/newer.msi")" || fail "the upgrade ended with $?"
[ "$(products)" = "KORUNEX screen saver $newer" ] || fail "after the upgrade, installed products: $(products)"
[ -f "$windows/system32/KORUNEX64.SCR" ] || fail "the upgrade left no KORUNEX64.SCR"
has_user_ini || fail "the upgrade replaced the user's KORUNEX.ini"
# An older release does not go back over it.
older=0.0.1.0
"$here/../../scripts/make-msi" "$older" "$stage" "$icon" "$work/older.msi" > /dev/null || fail "make-msi $older"
msiexec /i "$(winpath "$work/older.msi")" && fail "the older release installed over the newer one"
[ "$(products)" = "KORUNEX screen saver $newer" ] || fail "after the older release, installed products: $(products)"
has_user_ini || fail "the older release replaced the user's KORUNEX.ini"
msiexec /x "$(winpath "$work/newer.msi")" || fail "the removal of the upgrade ended with $?"

# A grant the system refuses fails the install, which leaves nothing behind.
rm -f "$windows/KORUNEX.ini"
touch "$c/grant-fails"
msiexec /i "$(winpath "$msi")" && fail "the install succeeded although the grant failed"
[ ! -e "$windows/system32/KORUNEX64.SCR" ] || fail "the failed install left KORUNEX64.SCR"
[ -z "$(products)" ] || fail "the failed install left the product listed: $(products)"
rm -f "$c/grant-fails"

msiexec /i "$(winpath "$msi")" || fail "the last install ended with $?"
cmp -s "$stage/KORUNEX.ini" "$windows/KORUNEX.ini" || fail "the last install did not install the default KORUNEX.ini"

[ $failures -eq 0 ] && echo "msi: all checks passed"
exit $((failures > 0))
