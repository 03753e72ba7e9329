#!/usr/bin/env bash
# The Linux saver on a virtual X display, driven by xdotool. Runs itself
# inside xvfb-run when there is no display yet.
source "$(dirname "$0")/x11_test_lib.sh"

# Waits up to $2 tenths of a second for process $1 to end; sets status to
# its exit status, or to "running".
wait_end() {
  status=running
  for _ in $(seq "$2"); do
    if ! kill -0 "$1" 2>/dev/null; then wait "$1"; status=$?; return; fi
    sleep 0.1
  done
}

# Full-screen: draws, installs the default shape file, and ends on a key.
"$korunex" & pid=$!; pids+=($pid)
[ "$(await_blue root 500)" -gt 500 ] && pass "full-screen frames appear" || fail "no logo on the screen"
cmp -s "$KORUNEX_HOME/KORUNEX.ini" "$source_dir/data/KORUNEX.ini" && pass "first run installs the default shape file" \
  || fail "default shape file not installed"
xdotool key a
wait_end $pid 20
[ "$status" = 0 ] && pass "a key ends the saver with 0" || fail "after a key: $status"

# Mouse movement: 4 pixels from where it started are tolerated, 5 are not.
xdotool mousemove 320 240
"$korunex" saver & pid=$!; pids+=($pid)
await_blue root 500 >/dev/null
xdotool mousemove_relative 2 0; sleep 0.2; xdotool mousemove_relative 0 2
wait_end $pid 5; [ "$status" = running ] && pass "4 pixels do not end it" || fail "4 pixels ended it"
xdotool mousemove_relative 1 0
wait_end $pid 20
[ "$status" = 0 ] && pass "the fifth pixel ends it with 0" || fail "after 5 pixels: $status"

# A user's own settings are never replaced.
printf '[KORUNEX]\nTIMER=70\n' > "$KORUNEX_HOME/KORUNEX.ini"
"$korunex" & pid=$!; pids+=($pid)
sleep 1; xdotool key a; wait_end $pid 20  # no letters in that file: nothing to wait for
[ "$(cat "$KORUNEX_HOME/KORUNEX.ini")" = "$(printf '[KORUNEX]\nTIMER=70')" ] && pass "an existing file is kept" \
  || fail "the user's file was replaced"
cp "$source_dir/data/KORUNEX.ini" "$KORUNEX_HOME/KORUNEX.ini"

# A settings file that is a FIFO never hangs the saver: it runs on its
# defaults (no records, so nothing to see) and still ends on a key.
mkdir "$work/fifo-home" && mkfifo "$work/fifo-home/KORUNEX.ini"
KORUNEX_HOME=$work/fifo-home "$korunex" & pid=$!; pids+=($pid)
sleep 1; xdotool key a; wait_end $pid 20
[ "$status" = 0 ] && pass "a FIFO for the settings file: the saver runs and ends on a key" || fail "on a FIFO: $status"

# Inside a window of another program: draws, ignores input, follows a resize,
# ends on SIGTERM and when the window goes.
"$test_window" > "$work/id" & host=$!; pids+=($host)
for _ in $(seq 30); do [ -s "$work/id" ] && break; sleep 0.1; done
id=$(cat "$work/id")
"$korunex" --window-id "$id" & pid=$!; pids+=($pid)
[ "$(await_blue "$id" 500)" -gt 500 ] && pass "draws into the given window" || fail "nothing drawn in the given window"
xdotool mousemove --window "$id" 10 10 key --window "$id" a click 1 2>/dev/null; xdotool mousemove_relative 50 50
wait_end $pid 5; [ "$status" = running ] && pass "input never ends it there" || fail "input ended the embedded saver"
xdotool windowsize "$id" 200 150
sleep 0.5
blue_after=$(await_blue "$id" 100)
geometry=$(xwininfo -id "$id" | grep -E 'Width|Height' | tr -s ' ' | cut -d' ' -f3 | tr '\n' 'x')
[ "$geometry" = "200x150x" ] && [ "$blue_after" -gt 100 ] && pass "follows the resize" || fail "after resize: $geometry"
kill -TERM $pid
wait_end $pid 10
[ "$status" = 0 ] && pass "SIGTERM ends it within a second" || fail "after SIGTERM: $status"

"$korunex" --window-id "$id" & pid=$!; pids+=($pid)
await_blue "$id" 500 >/dev/null
kill $host
wait_end $pid 20
[ "$status" != running ] && pass "ends when its window goes" || fail "outlived its window"

# XScreenSaver names the window in the environment.
"$test_window" > "$work/id2" & host=$!; pids+=($host)
for _ in $(seq 30); do [ -s "$work/id2" ] && break; sleep 0.1; done
XSCREENSAVER_WINDOW=$(cat "$work/id2") "$korunex" & pid=$!; pids+=($pid)
[ "$(await_blue "$(cat "$work/id2")" 500)" -gt 500 ] && pass "honours XSCREENSAVER_WINDOW" || fail "XSCREENSAVER_WINDOW ignored"
kill -TERM $pid; wait_end $pid 10

# Other servers: one without the shared-memory extension (the ordinary image
# transfer), one of 16-bit colour (pixels converted on showing). Each finds
# its display itself: a display chosen by looking for a free one can be
# taken by a server still going away.
for server in "24 -extension MIT-SHM" "16"; do
  start_server Xvfb -screen 0 320x240x$server -nolisten tcp; server_pid=${pids[-1]}
  "$korunex" > /dev/null & pid=$!; pids+=($pid)
  # Any shade of blue: 16-bit colour changes the logo's own.
  shades=$(await_pixels root '\(0,0,[1-9]' 300)
  [ "$shades" -gt 300 ] && pass "frames appear on a server of: $server" ||
    fail "no logo on a server of: $server ($shades logo pixels on $DISPLAY)"
  kill -TERM $pid; wait_end $pid 10
  kill "$server_pid"; wait "$server_pid" 2> /dev/null
done

finish
