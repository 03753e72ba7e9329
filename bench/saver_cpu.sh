#!/usr/bin/env bash
# The CPU share of the full-screen saver at 1920x1080 with a frame every
# 20 ms: korunex --wayland under sway's headless backend beside the X11
# saver under Xvfb, both over the same seconds, from their utime + stime in
# /proc (the servers' own shares follow, for what showing the frames costs).
#
# usage: saver_cpu.sh KORUNEX [SECONDS]   (10 seconds unless told)
#
# sway refuses to run as root: as root, the bench runs as a user of its own.
set -u
seconds=${2:-10}
test_user=korunex-test

if [ -z "${KORUNEX_BENCH_INNER:-}" ]; then
  for tool in sway Xvfb; do
    command -v "$tool" > /dev/null || { echo "saver_cpu: $tool is not installed (scripts/install-deps)"; exit 1; }
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  chmod 755 "$work"
  mkdir -m 700 "$work/home" "$work/runtime"
  install -m 755 "$1" "$work/korunex"
  exec_as=()
  if [ "$(id -u)" -eq 0 ]; then
    id "$test_user" > /dev/null 2>&1 ||
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$test_user" || exit 1
    chown "$test_user:" "$work/home" "$work/runtime"
    exec_as=(runuser -u "$test_user" --)
  fi
  "${exec_as[@]}" env -i KORUNEX_BENCH_INNER=1 HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    PATH="/usr/bin:/bin" timeout $((seconds + 120)) "$0" "$work/korunex" "$seconds"
  exit $?
fi

cd "$HOME"
export KORUNEX_HOME="$HOME/settings"
korunex=$1
pids=()
# The savers first, then their servers.
cleanup() { for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2> /dev/null; wait "${pids[$i]}" 2> /dev/null; done; }
trap cleanup EXIT
wait_for() {
  for _ in $(seq "$2"); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
# utime + stime of process $1, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2> /dev/null || echo 0; }

printf 'output HEADLESS-1 mode 1920x1080\n' > sway.conf
WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=1 WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c sway.conf > sway.log 2>&1 & sway=$!; pids+=($sway)
wait_for 'ls "$XDG_RUNTIME_DIR"/wayland-? > /dev/null 2>&1' 200 || { echo "saver_cpu: sway does not start"; exit 1; }
wayland=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-? | head -n 1)")
: > display
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3> display > xvfb.log 2>&1 & xvfb=$!; pids+=($xvfb)
wait_for '[ -s display ]' 200 || { echo "saver_cpu: Xvfb does not start"; exit 1; }

WAYLAND_DISPLAY=$wayland "$korunex" --wayland --set TIMER=20 & on_wayland=$!; pids+=($on_wayland)
DISPLAY=":$(cat display)" "$korunex" --set TIMER=20 & on_x11=$!; pids+=($on_x11)
sleep 2  # past the start: the settings file, the first picture
measured=($on_wayland $on_x11 $sway $xvfb)
before=(); for p in "${measured[@]}"; do before+=("$(ticks "$p")"); done
start=$(date +%s.%N)
sleep "$seconds"
after=(); for p in "${measured[@]}"; do after+=("$(ticks "$p")"); done
elapsed=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
hz=$(getconf CLK_TCK)
names=("korunex --wayland (sway headless)" "korunex on X11 (Xvfb)" "  sway itself" "  Xvfb itself")
printf 'CPU share over %.0f s at 1920x1080, TIMER=20:\n' "$elapsed"
for i in 0 1 2 3; do
  awk -v name="${names[$i]}" -v t="$((after[i] - before[i]))" -v hz="$hz" -v s="$elapsed" \
    'BEGIN { printf "%-36s %5.1f%%\n", name, t * 100 / hz / s }'
done
