#!/usr/bin/env bash
# The full-screen saver over two monitors and on a denser screen: a nested X
# server with two Xinerama heads and no RandR, and a virtual one whose two
# monitors RandR defines. Runs itself inside xvfb-run when there is no display yet.
# usage: monitors_test.sh KORUNEX TEST_WINDOW SOURCE_DIR
source "$(dirname "$0")/x11_test_lib.sh"
unset XSCREENSAVER_WINDOW

# The saver with the settings "$@" (KEY=VALUE); what it says goes to a file that must stay empty.
start() {
  local settings=(); for setting; do settings+=(--set "$setting"); done
  "$korunex" "${settings[@]}" 2>> "$work/stderr" & saver=$!; pids+=($saver)
}
stop() { kill -TERM $saver; wait $saver 2> /dev/null; }

# How many pixels of the screen's region $2 (WxH+X+Y) have a colour matching $1.
count() {
  import -window root -crop "$2" "$work/region.png" 2> /dev/null &&
    /usr/bin/convert "$work/region.png" -format %c histogram:info:- | awk -v c="$1" '$3 ~ c { n += $1 } END { print n + 0 }'
}
# Whether each of the regions after the colour $1 shows more than 20 pixels of it.
shows() { local colour=$1; shift; for region; do [ "$(count "$colour" "$region")" -gt 20 ] || return 1; done; }
# Neither black nor a shade of blue: one of the first four hex digits is not 0.
other='#([^0]|0[^0]|00[^0]|000[^0])'
# The width of the screen's part that is not black.
drawn_width() {
  import -window root "$work/screen.png" 2> /dev/null && /usr/bin/convert "$work/screen.png" -format %@ info: | cut -dx -f1
}
# Runs "$@" until it succeeds, for up to ten seconds: a loaded machine starts slowly.
eventually() {
  local until=$((SECONDS + 10))
  until "$@"; do [ "$SECONDS" -ge "$until" ] && return 1; sleep 0.2; done
}
left=1280x720+0+0 right=1280x720+1280+0 seam=2x720+1279+0
# A logo on each monitor, and none in the two columns at x = 1280 in five looks some frames apart.
logos_apart() {
  shows "$blue" $left $right || return 1
  for _ in 1 2 3 4 5; do [ "$(count "$blue" $seam)" -eq 0 ] || return 1; sleep 0.1; done
}
report() { echo "$(count "$blue" $left) and $(count "$blue" $right) logo pixels, $(count "$blue" $seam) on the seam"; }
# One letter standing still: in the middle of the screen it covers the seam.
still=(OPTIONN=1 STEPRAG=0 OPTIONP=1)
# Logos moving 1 to 4 pixels a frame: from the middle of a monitor they need seconds to reach its edge.
slow=(OPTIONP=2 SIZEIDO=0)

start_server Xephyr +xinerama -extension RANDR -screen 1280x720 -screen 1280x720 -ac
start GAMEN=0 "${still[@]}"
eventually shows "$blue" $seam && pass "GAMEN=0: one logo across both heads" || fail "GAMEN=0: no logo over the seam"
width=$(drawn_width)
stop
start GAMEN=1 "${slow[@]}"
eventually shows "$blue" $left $right && logos_apart && pass "GAMEN=1: a moving logo on each head" || fail "GAMEN=1: $(report)"
stop

# Xft.dpi scales the logo of the same settings by the hundredths after the
# colon (give or take two pixels), and the saver still covers the whole
# screen and the desktop behind it; a value that no screen has counts as 96.
"$test_window" --colour 336699 --size 2560x720 > /dev/null & desktop=$!; pids+=($desktop)
eventually shows 336699 $right
for case in 144dpi:100 5000:100 192.0:200 144:150; do
  echo "Xft.dpi: ${case%:*}" | xrdb -merge
  start GAMEN=0 "${still[@]}"
  eventually shows "$blue" $seam
  scaled=$(drawn_width) others=$(count "$other" 2560x720+0+0)
  stop
  off=$((${scaled:-0} - ${width:-0} * ${case#*:} / 100))
  [ "${off#-}" -le 2 ] && [ "$others" -eq 0 ] && pass "Xft.dpi ${case%:*}: the logo $scaled pixels wide" ||
    fail "Xft.dpi ${case%:*}: the logo ${scaled:-no} pixels wide ($width at 96 dpi), $others pixels not covered"
done
kill $desktop

# Only the primary head shows the logo, here so large (at 144 dpi still)
# that drawn unclipped it would reach over to the other.
start GAMEN=2 "${still[@]}" OPTIONN=2 SIZE=50 SIZEY=50
eventually shows "$blue" 1x720+1279+0 && [ "$(count "$other|$blue" $right)" -eq 0 ] &&
  pass "GAMEN=2: the logo on the first head only, clipped at its edge" ||
  fail "GAMEN=2: $(count "$blue" 1x720+1279+0) logo pixels at the first head's edge, $(count "$other|$blue" $right) on the second"
stop

# RandR 1.5 monitors, followed as they are defined. The first takes the
# screen's output from the monitor RandR made for it, which would cover both.
start_server Xvfb -screen 0 2560x720x24
start GAMEN=1 "${still[@]}"
eventually shows "$blue" $seam || fail "RandR: no logo over the middle of a single monitor"
xrandr --setmonitor L 1280/340x720/190+0+0 screen > /dev/null
xrandr --setmonitor R 1280/340x720/190+1280+0 none > /dev/null
eventually logos_apart && pass "RandR: two monitors set while running, two logos" || fail "RandR, set while running: $(report)"
stop
start GAMEN=1 "${slow[@]}"
eventually shows "$blue" $left $right && logos_apart && pass "RandR: two monitors, two moving logos" || fail "RandR: $(report)"
stop

[ ! -s "$work/stderr" ] && pass "the saver says nothing" || fail "the saver said: $(head -n 3 "$work/stderr")"
finish
