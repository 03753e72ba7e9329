#!/usr/bin/env bash
# The options every XScreenSaver hack takes, and the backgrounds that keep the
# desktop, on a virtual X display. Runs itself inside xvfb-run when there is
# no display yet.
# usage: hack_options_test.sh KORUNEX TEST_WINDOW SOURCE_DIR
set -u
korunex=$(realpath "$1")
test_window=$(realpath "$2")
source_dir=$(cd "$3" && pwd)
if [ -z "${KORUNEX_X11_TEST_DISPLAY:-}" ]; then
  exec env KORUNEX_X11_TEST_DISPLAY=1 timeout 180 xvfb-run -a -s "-screen 0 640x480x24" "$0" "$@"
fi

work=$(mktemp -d)
export KORUNEX_HOME="$work/home"
export LSAN_OPTIONS="suppressions=$source_dir/tests/x11/lsan.supp" ASAN_OPTIONS="fast_unwind_on_malloc=0"
unset XSCREENSAVER_WINDOW
passed=0 failed=0
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2> /dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }

# How many pixels of window $1 (of region $3 when given, WxH+X+Y) match the
# colours of the extended expression $2.
pixels() {
  import -window "$1" ${3:+-crop "$3"} "$work/shot.png" 2> /dev/null || { echo 0; return; }
  convert "$work/shot.png" txt:- | grep -c -E "$2"
}
blue='#0000(FF|C0|80)'
# Starts a test window with the given options; its id in $window.
start_window() {
  "$test_window" "$@" > "$work/id" & pids+=($!)
  window_pid=$!
  for _ in $(seq 30); do [ -s "$work/id" ] && break; sleep 0.1; done
  window=$(cat "$work/id"); : > "$work/id"
}
stop() { kill -TERM "$@" 2> /dev/null; wait "$@" 2> /dev/null; }

# Options with one dash or two; a stranger is a clear error.
"$korunex" -fps -nonsense > /dev/null 2> "$work/err"
[ $? -eq 2 ] && grep -q "unknown option '-nonsense'" "$work/err" && pass "an unknown option is a clear error" ||
  fail "unknown option: $(head -n 1 "$work/err")"
"$korunex" --window --root 2> "$work/err"
[ $? -eq 2 ] && grep -q -- '--window' "$work/err" && pass "--window with --root is a clear error" ||
  fail "--window --root: $(head -n 1 "$work/err")"

# --root draws on the virtual root window of a desktop that names one.
start_window --size 640x480 --virtual-root
"$korunex" -root & saver=$!; pids+=($saver)
sleep 1.5
[ "$(pixels "$window" "$blue")" -gt 500 ] && pass "-root draws on the virtual root" || fail "nothing on the virtual root"
stop $saver
stop $window_pid

# --fps writes the frame rate into the lower left corner, and only then.
start_window --size 400x300
"$korunex" -window-id "$window" & saver=$!; pids+=($saver)
sleep 1.5
plain=$(pixels "$window" '#FFFFFF' 140x40+0+260)
stop $saver
"$korunex" --window-id "$window" --fps & saver=$!; pids+=($saver)
sleep 2.5
shown=$(pixels "$window" '#FFFFFF' 140x40+0+260)
[ "$plain" -eq 0 ] && [ "$shown" -gt 30 ] && pass "--fps shows the rates in the corner" ||
  fail "white pixels in the corner: $plain without --fps, $shown with it"
stop $saver
stop $window_pid

# With the desktop kept and after-images on, the trails start from the
# desktop, not from black.
start_window --size 640x480 --colour 336699
desktop_pid=$window_pid
"$korunex" --set BKMODE=0 --set ZANZOU=1 & saver=$!; pids+=($saver)
sleep 1.5
desktop=$(pixels root '#336699')
[ "$desktop" -gt 200000 ] && [ "$(pixels root "$blue")" -gt 500 ] && pass "after-images over the desktop" ||
  fail "after-images start from black: $desktop desktop pixels"
stop $saver

# A resize keeps the picture of the desktop taken at the start; taken again,
# it would show the saver's own window.
"$korunex" --window --set BKMODE=0 & saver=$!; pids+=($saver)
sleep 1
own=$(xdotool search --sync --name '^KORUNEX$' | head -n 1)
xdotool windowsize "$own" 500 400
sleep 1.5
kept=$(pixels "$own" '#336699')
[ "$kept" -gt 150000 ] && [ "$(pixels "$own" "$blue")" -gt 500 ] && pass "a resize keeps the desktop picture" ||
  fail "after a resize: $kept desktop pixels"
stop $saver
stop $desktop_pid

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
