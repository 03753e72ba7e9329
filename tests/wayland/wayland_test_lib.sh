# What the tests under a real Wayland compositor share; sourced with the
# test's own arguments, the programs it runs, after setting `needs` to the
# commands it needs. Compositors refuse to run as root: the test runs itself
# again as a normal user (as root, a user of its own) with a home and a
# runtime folder of its own and copies of the programs, which it then gets
# as its arguments; it keeps a tally of its checks.
set -u
test_user=korunex-test

if [ -z "${KORUNEX_WAYLAND_INNER:-}" ]; then
  for tool in "${needs[@]}"; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps installs it)"; exit 77; }
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  chmod 755 "$work"
  mkdir -m 700 "$work/home" "$work/runtime"
  # Copies the user can run, wherever the build lies.
  copies=()
  for program; do
    install -m 755 "$program" "$work/"
    copies+=("$work/$(basename "$program")")
  done
  exec_as=()
  if [ "$(id -u)" -eq 0 ]; then
    id "$test_user" > /dev/null 2>&1 ||
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$test_user" ||
      { echo "FAIL: cannot make the user $test_user"; exit 1; }
    chown "$test_user:" "$work/home" "$work/runtime"
    exec_as=(runuser -u "$test_user" --)
  fi
  "${exec_as[@]}" env -i KORUNEX_WAYLAND_INNER=1 HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    PATH="$work:/usr/bin:/bin" timeout 240 "$0" "${copies[@]}"
  exit $?
fi

# From here on: a normal user, with a runtime folder of its own and no X display.
cd "$HOME"
unset DISPLAY
export KORUNEX_HOME="$HOME/settings"
passed=0 failed=0
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
# The processes started, ended in the reverse order: the clients before their compositor.
pids=()
cleanup() { for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2> /dev/null; wait "${pids[$i]}" 2> /dev/null; done; }
trap cleanup EXIT
# Runs the command $1 until it succeeds, for up to $2 tenths of a second.
wait_for() {
  for _ in $(seq "$2"); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
# Ends the test with the tally.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
