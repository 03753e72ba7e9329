#!/usr/bin/env bash
# Our own raster against GDI under Wine, pixel for pixel.
#   compare_with_gdi.sh scenes SOURCE_DIR WINDOWS_BUILD NATIVE_BUILD
#     the test scenes' frames from `korunex render` and korunex-render.exe, and
#     the picture digests of the Windows frames against the kept ones
#   compare_with_gdi.sh calls SOURCE_DIR WINDOWS_BUILD NATIVE_BUILD
#     thousands of seeded polygons, regions and lines, through the raster alone
set -u
mode=$1
source_dir=$(cd "$2" && pwd)
windows_build=$(cd "$3" && pwd)
native_build=$(cd "$4" && pwd)
run_in_wine="$source_dir/tests/wine/run-in-wine"
for tool in korunex picture_tool raster_cases_span; do
  [ -x "$native_build/$tool" ] || { echo "missing $native_build/$tool: build the native preset first"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Wine sees the root of this machine as drive Z.
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }

compare_scenes() {
  local failed=0 case
  for case in default heavy heaviest moving trails walls; do
    local ini="$work/$case.ini"
    cp "$source_dir/data/KORUNEX.ini" "$ini"
    [ "$case" = default ] || { printf '\r\n'; cat "$source_dir/tests/data/$case.settings"; } >> "$ini"
    local frames=(--size 640x360 --frames 40 --every 13 --seed 4660)
    [ "$case" = walls ] && frames=(--size 800x450 --frames 120 --every 6 --seed 4660)
    "$native_build/korunex" render --ini "$ini" "${frames[@]}" --out "$work/$case-ours" > /dev/null || return 1
    "$run_in_wine" "$windows_build/korunex-render.exe" --ini "$(windows_path "$ini")" "${frames[@]}" \
      --out "$(windows_path "$work/$case-gdi")" > /dev/null 2>&1 || { echo "$case: korunex-render.exe failed"; return 1; }
    echo "$case: $("$native_build/picture_tool" compare "$work/$case-ours" "$work/$case-gdi" | tail -n 1)"
    "$native_build/picture_tool" compare "$work/$case-ours" "$work/$case-gdi" > /dev/null || failed=1
  done
  # The kept digests of the pictures judge the Windows frames as they judge ours.
  local digests=0 line sum path
  while read -r sum path; do
    case $path in ./*/*.png) ;; *) continue ;; esac
    local scene=${path#./}; scene=${scene%%/*}
    local frame="$work/$scene-gdi/${path##*/}"
    if [ "$("$native_build/picture_tool" pixels "$frame" | sha256sum | cut -d' ' -f1)" != "$sum" ]; then
      echo "$frame: its pixels do not give the kept digest of $path"
      failed=1
    fi
    digests=$((digests + 1))
  done < "$source_dir/tests/golden/scene-dumps.sha256"
  echo "$digests picture digests checked on the Windows frames"
  return $failed
}

compare_calls() {
  local failed=0 size seed cases
  # 640x400 draws calls wider than a 64-pixel word of the painted record.
  for run in 64x48:1:3000 640x400:2:600 7x5:3:5000; do
    IFS=: read -r size seed cases <<< "$run"
    "$run_in_wine" "$windows_build/raster_cases_gdi.exe" --size "$size" --seed "$seed" --cases "$cases" \
      --out "$(windows_path "$work/gdi-$seed.ppm")" > /dev/null 2>&1 || { echo "raster_cases_gdi.exe failed"; return 1; }
    "$native_build/raster_cases_span" --size "$size" --seed "$seed" --cases "$cases" --expect "$work/gdi-$seed.ppm" ||
      failed=1
  done
  return $failed
}

case $mode in
  scenes) compare_scenes ;;
  calls) compare_calls ;;
  *) echo "usage: $0 scenes|calls SOURCE_DIR WINDOWS_BUILD NATIVE_BUILD"; exit 2 ;;
esac
