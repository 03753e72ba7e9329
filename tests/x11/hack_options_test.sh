#!/usr/bin/env bash
# The options every XScreenSaver hack takes, and the backgrounds that keep the
# desktop, on a virtual X display. Runs itself inside xvfb-run when there is
# no display yet.
# usage: hack_options_test.sh KORUNEX TEST_WINDOW SOURCE_DIR
source "$(dirname "$0")/x11_test_lib.sh"
unset XSCREENSAVER_WINDOW

# Starts a test window with the given options; its id in $window.
start_window() {
  "$test_window" "$@" > "$work/id" & pids+=($!)
  window_pid=$!
  for _ in $(seq 30); do [ -s "$work/id" ] && break; sleep 0.1; done
  window=$(cat "$work/id"); : > "$work/id"
}
stop() { kill -TERM "$@" 2> /dev/null; wait "$@" 2> /dev/null; }

# Options with one dash or two; a stranger is a clear error.
"$korunex" -help | grep -q -- '-window-id' && pass "-help shows the options" || fail "-help shows no usage"
"$korunex" -fps -nonsense > /dev/null 2> "$work/err"
[ $? -eq 2 ] && grep -q "unknown option '-nonsense'" "$work/err" && pass "an unknown option is a clear error" ||
  fail "unknown option: $(head -n 1 "$work/err")"
"$korunex" --window --root 2> "$work/err"
[ $? -eq 2 ] && grep -q -- '--window' "$work/err" && pass "--window with --root is a clear error" ||
  fail "--window --root: $(head -n 1 "$work/err")"

# --root draws on the virtual root window of a desktop that names one.
start_window --size 640x480 --virtual-root
"$korunex" -root & saver=$!; pids+=($saver)
[ "$(await_blue "$window" 500)" -gt 500 ] && pass "-root draws on the virtual root" || fail "nothing on the virtual root"
stop $saver
stop $window_pid

# --fps writes the frame rate into the lower left corner, and only then.
start_window --size 400x300
"$korunex" -window-id "$window" & saver=$!; pids+=($saver)
await_blue "$window" 500 >/dev/null
plain=$(pixels "$window" '#FFFFFF' 140x40+0+260)
stop $saver
"$korunex" --window-id "$window" --fps & saver=$!; pids+=($saver)
shown=$(await_pixels "$window" '#FFFFFF' 30 140x40+0+260)
[ "$plain" -eq 0 ] && [ "$shown" -gt 30 ] && pass "--fps shows the rates in the corner" ||
  fail "white pixels in the corner: $plain without --fps, $shown with it"
stop $saver
stop $window_pid

# With the desktop kept and after-images on, the trails start from the
# desktop, not from black.
start_window --size 640x480 --colour 336699
desktop_pid=$window_pid
# The desktop must show before the saver takes its picture; a loaded machine draws it late.
await_pixels root '#336699' 200000 > /dev/null
"$korunex" --set BKMODE=0 --set ZANZOU=1 & saver=$!; pids+=($saver)
blue_shown=$(await_blue root 500)
desktop=$(pixels root '#336699')
[ "$desktop" -gt 200000 ] && [ "$blue_shown" -gt 500 ] && pass "after-images over the desktop" ||
  fail "after-images start from black: $desktop desktop pixels"
stop $saver

# A resize keeps the picture of the desktop taken at the start; taken again,
# it would show the saver's own window.
"$korunex" --window --set BKMODE=0 & saver=$!; pids+=($saver)
sleep 1
own=$(xdotool search --sync --name '^KORUNEX$' | head -n 1)
xdotool windowsize "$own" 500 400
sleep 1.5
blue_shown=$(await_blue "$own" 500)
kept=$(pixels "$own" '#336699')
[ "$kept" -gt 150000 ] && [ "$blue_shown" -gt 500 ] && pass "a resize keeps the desktop picture" ||
  fail "after a resize: $kept desktop pixels"
stop $saver
stop $desktop_pid

finish
