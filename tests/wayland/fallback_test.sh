#!/usr/bin/env bash
# korunex --wayland on a compositor with neither layer surfaces nor screen
# copies: weston's headless backend, where the saver takes a full-screen
# toplevel on the output. Weston's scene graph and screenshots tell what it
# shows; a protocol mistake would have weston cut the saver off (it then
# ends with 1).
#
# usage: fallback_test.sh KORUNEX
needs=(weston weston-debug weston-screenshooter convert)
source "$(dirname "$0")/wayland_test_lib.sh"
korunex=$1

export WAYLAND_DISPLAY=korunex-test
weston --backend=headless-backend.so --use-pixman --width=640 --height=480 --debug --idle-time=0 \
  --socket="$WAYLAND_DISPLAY" > weston.log 2>&1 & pids+=($!)
if ! wait_for 'weston-debug --list > /dev/null 2>&1' 200; then
  fail "weston does not start"
  tail -n 20 weston.log
  exit 1
fi
scene() { weston-debug scene-graph 2> /dev/null; }
# The saver's view and the lines that describe it.
saver_view() { scene | grep -A 6 "role xdg_toplevel.*'korunex'"; }
# Not its buffer: on a loaded machine weston's scene graph has listed none for
# seconds while the saver drew; the screenshot below shows what it drew.
shows_full_screen() {
  saver_view | grep -q -F 'position: (0, 0) -> (640, 480)' && saver_view | grep -q -F '[fully opaque]'
}

# The desktop kept: there is none to copy here, and the saver goes on over black.
"$korunex" --wayland --set BKMODE=0 2> stderr & saver=$!; pids+=($saver)
wait_for shows_full_screen 100 && pass "a full-screen toplevel of the output's size" ||
  { fail "no full-screen toplevel"; scene | head -n 40; }
# Above everything else, once weston's fade-in at its start is over.
top_view() { scene | grep -m 1 -E 'View [0-9]+ \(role'; }
wait_for '[[ "$(top_view)" == *"'"'"'korunex'"'"'"* ]]' 100 && pass "it lies above everything else" ||
  { fail "above it: $(top_view)"; scene | head -n 30; }
# What the output shows, by weston's own screenshot (written into the current folder).
blue_pixels() {
  rm -f wayland-screenshot-*.png
  weston-screenshooter > /dev/null 2>&1 || { echo 0; return; }
  convert wayland-screenshot-*.png -format %c histogram:info:- | awk '$3 ~ /#0000(FF|C0|80)/ { n += $1 } END { print n + 0 }'
}
wait_for '[ "$(blue_pixels)" -gt 500 ]' 100 && pass "the logo shows on the output" ||
  fail "the output shows $(blue_pixels) logo pixels"
kill -0 "$saver" 2> /dev/null && pass "weston keeps it: no protocol mistake" || fail "the saver is gone"
kill -TERM "$saver"; wait "$saver"; status=$?
[ "$status" -eq 0 ] && pass "SIGTERM ends it with status 0" || fail "SIGTERM ends it with status $status"
[ -s stderr ] && fail "korunex says: $(head -n 3 stderr)" || pass "korunex says nothing"
# weston's own clients leave with it.
kill "${pids[0]}"; wait "${pids[0]}"
wait_for '! pgrep -u "$(id -u)" "^weston-" > /dev/null' 100 ||
  fail "weston's clients outlive it"
finish
