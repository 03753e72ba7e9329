#!/usr/bin/env bash
# korunex --wayland under a real compositor: sway on its headless backend
# with two outputs, screenshots by grim, a key by wtype. The logo on both
# outputs or on the first alone as GAMEN says, the desktop kept behind it,
# outputs that come and go, a still frame pixel for pixel the one korunex
# render draws, and a key or SIGTERM ending it with status 0.
#
# usage: saver_test.sh KORUNEX PICTURE_TOOL
needs=(sway swaymsg grim wtype convert)
source "$(dirname "$0")/wayland_test_lib.sh"
korunex=$1 picture_tool=$2

# The desktop: a plain colour of its own, so that a kept desktop is told from black.
desktop='#204060'
printf 'output * bg %s solid_color\n' "$desktop" > sway.conf
WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=2 WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c sway.conf > sway.log 2>&1 & pids+=($!)
# Up to twenty seconds for its socket and its answer: a loaded machine starts slowly.
wait_for 'ls "$XDG_RUNTIME_DIR"/wayland-* > /dev/null 2>&1 && ls "$XDG_RUNTIME_DIR"/sway-ipc.* > /dev/null 2>&1' 200
WAYLAND_DISPLAY=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-* 2> /dev/null | grep -v lock | head -n 1)")
SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.* 2> /dev/null | head -n 1)
export WAYLAND_DISPLAY SWAYSOCK
if ! wait_for 'swaymsg -t get_version > /dev/null 2>&1' 100; then
  fail "sway does not start"
  tail -n 20 sway.log
  exit 1
fi

# How many pixels of output $1's screenshot (its region $3, WxH+X+Y, when
# given) have a colour matching the extended expression $2.
pixels() {
  grim -o "$1" "shot-$1.png" 2> /dev/null || { echo 0; return; }
  convert "shot-$1.png" ${3:+-crop "$3"} -format %c histogram:info:- | awk -v c="$2" '$3 ~ c { n += $1 } END { print n + 0 }'
}
blue='#0000(FF|C0|80)'
not_black='#([^0]|0[^0]|00[^0]|000[^0]|0000[^0]|00000[^0])'
shows_logo() { [ "$(pixels "$1" "$blue")" -gt 500 ]; }
saver_runs() { kill -0 "$saver" 2> /dev/null; }
# The saver with the settings "$@" (KEY=VALUE) and --wayland; what it says goes to a file that must stay empty.
start() {
  local settings=(); for setting; do settings+=(--set "$setting"); done
  "$korunex" --wayland "${settings[@]}" 2>> stderr & saver=$!; pids+=($saver)
}
# SIGTERM, then its exit status.
stop() { kill -TERM "$saver" 2> /dev/null; wait "$saver"; }
# Logos moving 1 to 4 pixels a frame, and one letter standing still in the middle.
slow=(OPTIONP=2 SIZEIDO=0)
still=(OPTIONN=1 STEPRAG=0 OPTIONP=1)

start GAMEN=1 BKMODE=1 "${slow[@]}"
wait_for 'shows_logo HEADLESS-1 && shows_logo HEADLESS-2' 100 && pass "GAMEN=1: a logo on each output" ||
  fail "GAMEN=1: logo pixels $(pixels HEADLESS-1 "$blue") and $(pixels HEADLESS-2 "$blue")"
stop; status=$?
[ "$status" -eq 0 ] && pass "SIGTERM ends it with status 0" || fail "SIGTERM ends it with status $status"

start GAMEN=2 BKMODE=1 "${slow[@]}"
wait_for 'shows_logo HEADLESS-1' 100 || fail "GAMEN=2: no logo on the first output"
lit=0; for _ in 1 2 3 4 5; do lit=$((lit + $(pixels HEADLESS-2 "$not_black"))); sleep 0.1; done
[ "$lit" -eq 0 ] && pass "GAMEN=2: the second output stays black" || fail "GAMEN=2: $lit lit pixels on the second output"
stop

# The still frame, its settings and size those of the first output.
start GAMEN=2 BKMODE=1 "${still[@]}"
wait_for 'shows_logo HEADLESS-1' 100
sleep 0.5  # some frames drawn over the first, into both buffers
grim -o HEADLESS-1 still.png
size=$(convert still.png -format %wx%h info:)
stop
settings=(); for setting in GAMEN=2 BKMODE=1 "${still[@]}"; do settings+=(--set "$setting"); done
"$korunex" render "${settings[@]}" --size "$size" --frames 1 --out rendered > /dev/null
if "$picture_tool" compare still.png rendered/frame-0000.png > compare.log; then
  pass "a still frame at $size is korunex render's, pixel for pixel"
else
  fail "the still frame differs from korunex render's: $(head -n 1 compare.log)"
fi

# GAMEN=0: one logo over the outputs side by side; standing in the middle, it
# lies across the edge where the first output ends and the second begins.
start GAMEN=0 BKMODE=1 "${still[@]}"
wait_for 'shows_logo HEADLESS-1 && shows_logo HEADLESS-2' 100
left=$(pixels HEADLESS-1 "$blue" "2x${size#*x}+$((${size%x*} - 2))+0") right=$(pixels HEADLESS-2 "$blue" "2x${size#*x}+0+0")
[ "$left" -gt 20 ] && [ "$right" -gt 20 ] && pass "GAMEN=0: one logo across both outputs" ||
  fail "GAMEN=0: $left and $right logo pixels beside the edge between the outputs"
stop

# An output of scale 2 has twice the density: the same logo covers four times the pixels.
swaymsg output HEADLESS-2 scale 2 > /dev/null
start GAMEN=1 BKMODE=1 "${still[@]}"
wait_for 'shows_logo HEADLESS-1 && shows_logo HEADLESS-2' 100
sleep 0.3
one=$(pixels HEADLESS-1 "$blue") two=$(pixels HEADLESS-2 "$blue")
[ $((two * 10)) -gt $((one * 35)) ] && [ $((two * 10)) -lt $((one * 45)) ] &&
  pass "scale 2: the logo twice as large ($one and $two pixels)" || fail "scale 2: $one and $two logo pixels"
stop
swaymsg output HEADLESS-2 scale 1 > /dev/null

# The desktop copied before the saver covers it stays behind the logo.
start GAMEN=1 BKMODE=0 "${slow[@]}"
wait_for 'shows_logo HEADLESS-2' 100
kept=$(pixels HEADLESS-2 "$desktop")
[ "$kept" -gt 500000 ] && shows_logo HEADLESS-2 && pass "BKMODE=0: the logo over the desktop" ||
  fail "BKMODE=0: $kept desktop pixels around the logo"

# Outputs added and taken away while it runs.
swaymsg create_output > /dev/null
new=$(swaymsg -t get_outputs | grep -o 'HEADLESS-[0-9]*' | sort -u | grep -v -x -e HEADLESS-1 -e HEADLESS-2 | head -n 1)
wait_for "[ -n '$new' ] && shows_logo '$new'" 100 && pass "a new output $new gets its logo" ||
  fail "no logo on the new output '$new'"
swaymsg output HEADLESS-2 disable > /dev/null
sleep 0.5
if saver_runs; then
  grim -o HEADLESS-1 before.png; sleep 0.3; grim -o HEADLESS-1 after.png
  shows_logo HEADLESS-1 && ! cmp -s before.png after.png &&
    pass "an output taken away loses its surface and the others go on" || fail "the logo stands still after an output went"
else
  fail "the saver ends when an output is taken away"
fi
swaymsg output HEADLESS-2 enable > /dev/null
wait_for 'shows_logo HEADLESS-2' 100 && pass "the output back gets its logo again" || fail "no logo on the output back"
stop

# A key: plain korunex finds the compositor itself when there is no X display.
"$korunex" 2>> stderr & saver=$!; pids+=($saver)
wait_for 'shows_logo HEADLESS-1' 100
# wtype's keyboard is new to the seat: the pause lets the saver take it before the key comes.
wtype -s 300 x
ended=0; wait_for '! saver_runs' 10 && ended=1
wait "$saver"; status=$?
[ "$ended" -eq 1 ] && [ "$status" -eq 0 ] && pass "a key ends it within a second, with status 0" ||
  fail "after a key: ended $ended, status $status"

[ -s stderr ] && fail "korunex says: $(head -n 3 stderr)" || pass "korunex says nothing"
# The background's painter leaves with sway.
kill "${pids[0]}"; wait "${pids[0]}"
wait_for '! pgrep -u "$(id -u)" -x swaybg > /dev/null' 100 || fail "swaybg outlives sway"
finish
