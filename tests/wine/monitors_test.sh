#!/usr/bin/env bash
# The installed module over two monitors (each value of GAMEN) and on a
# screen of 144 dpi, in the saver's Wine prefix (made by install_test.sh).
# usage: monitors_test.sh PREFIX DRIVER.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1 driver=$2
. "$here/../../scripts/wine-prefix.sh"
KORUNEX_WINEPREFIX=$prefix korunex_wine_prefix "$here/../.."
saver='C:\windows\system32\KORUNEX64.SCR'
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
end_wine() { timeout 30 wineserver -k 2>/dev/null; timeout 30 wineserver -w 2>/dev/null; }

timeout 300 xvfb-run -a -s '-screen 0 2600x760x24' "$here/two-heads" wine "$driver" "$saver" --gtest_filter='Monitors.*' \
  || fail "the run over two monitors"
end_wine

# A still logo at 96 and at 144 dpi, the screen's setting read when Wine starts.
extent() {
  timeout 120 xvfb-run -a -s '-screen 0 1280x720x24' wine "$driver" --logo-extent "$saver" 2>/dev/null | tr -d '\r'
  end_wine
}
set_dpi() {
  if [ "$1" = 96 ]; then
    timeout 60 xvfb-run -a wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
  else
    timeout 60 xvfb-run -a wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  fi
  end_wine
}
trap 'set_dpi 96' EXIT
standard=$(extent)
set_dpi 144
dense=$(extent)
echo "at 96 dpi: $standard"
echo "at 144 dpi: $dense"
read -r _ w h _ sw sh _ l t r b _ dw dh <<<"$dense"
read -r _ _ _ _ _ _ _ l0 t0 r0 b0 _ dw0 dh0 <<<"$standard"
[ -n "${dh:-}" ] && [ -n "${dh0:-}" ] || fail "no logo or dialog measured"
if [ $failures -eq 0 ]; then
  [ "$w $h" = "$sw $sh" ] || fail "at 144 dpi the window is ${w}x$h on a screen of ${sw}x$sh"
  # 1.5 times as wide and as high, give or take the whole pixels of the sizes.
  ratio_ok() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(b >= (1.5 - d) * a && b <= (1.5 + d) * a) }'; }
  ratio_ok $((r0 - l0 + 1)) $((r - l + 1)) 0.05 || fail "logo width $((r0 - l0 + 1)) at 96 dpi, $((r - l + 1)) at 144"
  ratio_ok $((b0 - t0 + 1)) $((b - t + 1)) 0.05 || fail "logo height $((b0 - t0 + 1)) at 96 dpi, $((b - t + 1)) at 144"
  # The dialog grows with its font, whose sizes are whole pixels, and a
  # caption bar of the frame's own; a dialog left at 96 dpi would not grow.
  ratio_ok "$dw0" "$dw" 0.15 || fail "dialog width $dw0 at 96 dpi, $dw at 144"
  ratio_ok "$dh0" "$dh" 0.15 || fail "dialog height $dh0 at 96 dpi, $dh at 144"
fi
[ $failures -eq 0 ] && echo "monitors and dpi: all passed"
exit $((failures > 0))
