# What the tests on a virtual X display share; sourced with the test's own
# arguments KORUNEX TEST_WINDOW SOURCE_DIR. The test runs itself inside
# xvfb-run when there is no display yet, with a scratch folder, a settings
# folder of its own and a tally of its checks.
set -u
korunex=$(realpath "$1")
test_window=$(realpath "$2")
source_dir=$(cd "$3" && pwd)
if [ -z "${KORUNEX_X11_TEST_DISPLAY:-}" ]; then
  exec env KORUNEX_X11_TEST_DISPLAY=1 timeout 180 xvfb-run -a -s "-screen 0 640x480x24" "$0" "$@"
fi

work=$(mktemp -d)
export KORUNEX_HOME="$work/home"
passed=0 failed=0
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }

# How many pixels of window $1 (of its region $3, WxH+X+Y, when given) have
# a colour that matches the extended expression $2.
pixels() {
  import -window "$1" ${3:+-crop "$3"} "$work/shot.png" 2>/dev/null || { echo 0; return; }
  /usr/bin/convert "$work/shot.png" txt:- | grep -c -E "$2"
}
# The default logo's blue shades.
blue='#0000(FF|C0|80)'
blue_pixels() { pixels "$1" "$blue"; }
# Waits up to ten seconds until window $1 (its region $4, when given) shows
# more than $3 pixels matching $2, so that a loaded machine's slow start is
# no failure; prints the last count.
await_pixels() {
  local seen=0 until=$((SECONDS + 10))
  while :; do
    seen=$(pixels "$1" "$2" ${4:+"$4"})
    [ "$seen" -gt "$3" ] || [ "$SECONDS" -ge "$until" ] && break
    sleep 0.2
  done
  echo "$seen"
}
await_blue() { await_pixels "$1" "$blue" "$2"; }

# Starts the X server "$@" on a display it finds free itself, as the display
# of what follows. Its state outlives its last client: monitors and resources
# set by xrandr and xrdb stay.
start_server() {
  : > "$work/display"
  "$@" -noreset -displayfd 3 3> "$work/display" > /dev/null 2>&1 & pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
}

# Ends the test with the tally.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
