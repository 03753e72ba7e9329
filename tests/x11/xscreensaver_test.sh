#!/usr/bin/env bash
# KORUNEX under the real XScreenSaver, set up as the README says: the daemon
# blanks the screen with the programs line of the README and the option file,
# KORUNEX draws there and is gone soon after the screen unblanks; the settings
# program shows it in its preview pane.
#
# usage: xscreensaver_test.sh SOURCE_DIR --install BUILD_DIR
#          installs the build into a staging root first (what make install does)
#        xscreensaver_test.sh SOURCE_DIR --installed BIN_DIR
#          tests the korunex installed in BIN_DIR (by the Debian package), whose
#          option file must then also load in the settings program without a
#          complaint
#
# The daemon refuses to run as root: as root, the test runs as a user of its own.
set -u
source_dir=$(cd "$1" && pwd)
how=$2
test_user=korunex-test

if [ -z "${KORUNEX_XSS_INNER:-}" ]; then
  for tool in xscreensaver xscreensaver-command xscreensaver-settings xvfb-run import; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps installs it)"; exit 77; }
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  chmod 755 "$work"
  mkdir "$work/home"
  if [ "$how" = --install ]; then
    DESTDIR="$work/root" cmake --install "$3" --prefix /usr/local > "$work/install.log" ||
      { cat "$work/install.log"; echo "FAIL: the build does not install"; exit 1; }
    bin_dir="$work/root/usr/local/bin"
    for f in usr/local/bin/korunex usr/local/share/korunex/KORUNEX.ini usr/local/share/man/man6/korunex.6 \
             usr/share/xscreensaver/config/korunex.xml; do
      [ -s "$work/root/$f" ] || { echo "FAIL: make install leaves out /$f"; exit 1; }
    done
  else
    bin_dir=$3
  fi
  inner=(env -i KORUNEX_XSS_INNER=1 HOME="$work/home" PATH="$bin_dir:/usr/local/bin:/usr/bin:/bin"
         timeout 150 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$source_dir" "$how")
  if [ "$(id -u)" -eq 0 ]; then
    id "$test_user" > /dev/null 2>&1 ||
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$test_user" ||
      { echo "FAIL: cannot make the user $test_user"; exit 1; }
    chown "$test_user:" "$work/home"
    exec_as=(runuser -u "$test_user" --)
  else
    exec_as=()
  fi
  "${exec_as[@]}" "${inner[@]}"
  exit $?
fi

# From here on: inside the virtual display, as a normal user.
cd "$HOME"
passed=0 failed=0
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2> /dev/null; done; }
trap cleanup EXIT

# How many pixels of the default logo's blue shades a window shows.
blue_pixels() {
  import -window "$1" shot.png 2> /dev/null || { echo 0; return; }
  convert shot.png txt:- | grep -c -E '#0000(FF|C0|80)'
}
# Running korunex processes of this user (zombies are gone already).
korunex_pids() { ps -u "$(id -u)" -o pid=,stat=,comm= | awk '$3 == "korunex" && $2 !~ /^Z/ { print $1 }'; }
# Waits up to $2 tenths of a second for the command $1 to succeed.
wait_for() {
  for _ in $(seq "$2"); do eval "$1" && return 0; sleep 0.1; done
  return 1
}

# The programs line: the README's set-up and the option file's command agree.
option_arg=$(grep -o '<command arg="[^"]*"' "$source_dir/xscreensaver/korunex.xml" | cut -d'"' -f2)
line="korunex $option_arg"
grep -q "\`$line\` to the \`programs:\` list" "$source_dir/README.md" && pass "README and option file give '$line'" ||
  fail "the README does not give the option file's line '$line'"

# ~/.xscreensaver as the README writes it, word for word.
write_settings=$(grep -E '^printf .*> ~/.xscreensaver$' "$source_dir/README.md")
eval "$write_settings"
grep -q -x -F "programs: $line \\n" .xscreensaver && pass "the README's ~/.xscreensaver runs '$line'" ||
  fail "the README's ~/.xscreensaver ($write_settings) does not run '$line'"

xscreensaver -verbose > daemon.log 2>&1 & pids+=($!)
# Up to thirty seconds: on a loaded machine the daemon was seen to need more than ten to answer.
wait_for "xscreensaver-command -version > /dev/null 2>&1" 300 && pass "the daemon runs" || {
  fail "the daemon does not answer"
  tail -n 20 daemon.log
}

xscreensaver-command -activate > /dev/null
if wait_for '[ "$(blue_pixels root)" -gt 500 ]' 100; then
  pass "the daemon blanks the screen and the logo appears"
else
  fail "no logo on the blanked screen"
  tail -n 20 daemon.log
fi
[ -n "$(korunex_pids)" ] && pass "korunex runs under the daemon" || fail "korunex does not run"

xscreensaver-command -deactivate > /dev/null
wait_for '[ -z "$(korunex_pids)" ]' 10 && pass "korunex is gone within a second of unblanking" ||
  fail "korunex still runs a second after unblanking"
wait_for '[ "$(blue_pixels root)" -eq 0 ]' 20 && pass "the screen is unblanked" || fail "the logo stays on the screen"

# The settings program runs the selected hack in its preview pane, with the
# programs line and --window-id of the pane.
xscreensaver-settings --debug > settings.log 2>&1 & pids+=($!)
wait_for '[ -n "$(korunex_pids)" ]' 100
preview=$(korunex_pids | head -n 1)
if [ -n "$preview" ]; then
  command_line=$(tr '\0' ' ' < "/proc/$preview/cmdline")
  pane=$(echo "$command_line" | grep -o -E -- '-?-window-id +0x[0-9a-fA-F]+' | grep -o -E '0x[0-9a-fA-F]+')
  pass "the settings program runs '$command_line'"
  if [ -n "$pane" ] && wait_for '[ "$(blue_pixels "$pane")" -gt 100 ]' 100; then
    pass "the logo appears in the preview pane"
  else
    fail "no logo in the preview pane ${pane:-(no --window-id)}"
  fi
else
  fail "the settings program runs no korunex"
  tail -n 20 settings.log
fi
if [ "$how" = --installed ]; then
  # It reads the option file of the selected hack when it shows its settings.
  complaints=$(grep -i -E 'korunex' settings.log | grep -i -E 'warning|not a valid|required|does not exist|error|unknown')
  if ! grep -q 'reading /usr/share/xscreensaver/config/korunex.xml' settings.log; then
    fail "the settings program does not read korunex.xml"
  elif [ -n "$complaints" ]; then
    fail "the settings program says: $complaints"
  else
    pass "the option file loads without a complaint"
  fi
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
