#!/usr/bin/env bash
# The korunex command line: its listings, its JSON and its answers to mistakes.
source "$(dirname "$0")/tool_test_lib.sh"

# A first run installs the default shape file into the settings folder.
KORUNEX_HOME="$work/home" "$korunex" shapes > "$work/list" || fail "shapes exits non-zero"
cmp -s "$work/home/KORUNEX.ini" "$source_dir/data/KORUNEX.ini" || fail "default shape file not installed"
grep -q '^ *1  ' "$work/list" || fail "shapes lists no record 1"

# --check explains a broken record and fails.
printf '[MOJI ZAHYO]\nZAHYO1=B,8,0,0,0,0,0,1,1,8,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,2\nZAHYO2=ZAHYO-END\n' > "$work/bad.ini"
"$korunex" shapes --check --ini "$work/bad.ini" > "$work/check"
[ $? -eq 1 ] || fail "--check passes a broken record"
grep -q 'ZAHYO1 "B": 36 tokens, 50 expected (34 + 2 x 8)' "$work/check" || fail "--check message: $(cat "$work/check")"

# The scene is one JSON document with every setting as read.
"$korunex" scene --ini "$source_dir/data/KORUNEX.ini" --size 1024x768 --frames 0 > "$work/scene.json" || fail "scene exits non-zero"
python3 - "$work/scene.json" <<'PY' || fail "scene JSON"
import json, sys
scene = json.load(open(sys.argv[1]))
assert scene["screen"] == [1024, 768], scene["screen"]
assert len(scene["settings"]) == 53 and scene["settings"]["TIMER"] == 55
setup = scene["setup"]
assert setup["centre"] == [512, 384] and setup["depthUnits"] == 3
assert [s["record"] for s in setup["slots"]] == [22, 5]
for slot in setup["slots"]:
    assert slot["pointCount"] == len(slot["points"]) == len(slot["sides"]) == len(slot["edgeOnHull"])
    assert len(slot["contourHoles"]) == len(slot["contours"])
assert scene["frames"] == []
PY

# Frames: the state each draws, the box and the walls in painting order.
"$korunex" scene --ini "$source_dir/data/KORUNEX.ini" --size 640x480 --frames 3 --seed 7 > "$work/frames.json" || fail "scene --frames exits non-zero"
python3 - "$work/frames.json" <<'PY' || fail "scene frames JSON"
import json, sys
frames = json.load(open(sys.argv[1]))["frames"]
assert [f["frame"] for f in frames] == [0, 1, 2]
assert [f["turnAngle"] for f in frames] == [0, 9, 18]
for f in frames:
    minX, minY, maxX, maxY = f["box"]
    assert minX <= 0 <= maxX and minY <= 0 <= maxY, f["box"]
    for slot in f["slots"]:
        assert len(slot["viewPoints"]) == len(slot["screenPoints"])
        for x, y in slot["screenPoints"]:
            assert minX <= x <= maxX and minY <= y <= maxY
        assert len(set(slot["sidePaintOrder"])) == len(slot["sidePaintOrder"])
assert frames[0]["slots"][0]["capFront"] == 1 and frames[0]["slots"][0]["capBack"] == 0
PY

# Headless frames and a contact sheet.
"$korunex" render --ini "$source_dir/data/KORUNEX.ini" --size 320x200 --frames 6 --every 3 --out "$work/frames" --sheet "$work/sheet.png" > "$work/render" || fail "render exits non-zero"
[ "$(wc -l < "$work/render")" -eq 3 ] || fail "render lists $(cat "$work/render")"
for f in frame-0000.png frame-0003.png; do [ -s "$work/frames/$f" ] || fail "no $f"; done
[ -s "$work/sheet.png" ] || fail "no contact sheet"
"$korunex" render --ini "$source_dir/data/KORUNEX.ini" 2> "$work/err"; [ $? -eq 2 ] || fail "render without --out accepted"

# Mistakes on the command line are explained, with status 2.
"$korunex" scene --size 12 2> "$work/err"; [ $? -eq 2 ] || fail "bad --size accepted"
grep -q -- "--size must be WxH" "$work/err" || fail "bad --size message: $(cat "$work/err")"
"$korunex" frobnicate 2> /dev/null; [ $? -eq 2 ] || fail "unknown command accepted"

# A --ini that names no readable file is a mistake, whatever the command.
mkdir "$work/folder.ini"
printf '[KORUNEX]\n' > "$work/locked.ini" && chmod 000 "$work/locked.ini"
for command in shapes scene render saver; do
  for ini in "$work/missing.ini" "$work/folder.ini" "$work/locked.ini"; do
    [ "$ini" = "$work/locked.ini" ] && [ -r "$ini" ] && continue  # root reads any file
    out=(); [ $command = render ] && out=(--out "$work/none")
    "$korunex" $command --ini "$ini" "${out[@]}" > /dev/null 2> "$work/err"
    [ $? -eq 2 ] || fail "$command --ini $(basename "$ini") is not an error"
    grep -q -- "--ini $ini: \(no such file\|is a folder, not a file\|cannot be read\)" "$work/err" ||
      fail "$command --ini $(basename "$ini") message: $(head -n 1 "$work/err")"
  done
done

# The clock: the records named by the time's characters, a frame a TIMER
# later each; a second boundary changes one slot. The file stays as it was.
cp "$source_dir/data/KORUNEX.ini" "$work/clock.ini"
"$korunex" scene --ini "$work/clock.ini" --clock %H%M%S --at 12:34:58 --set TIMER=250 --frames 9 \
  > "$work/clock.json" || fail "scene --clock exits non-zero"
python3 - "$work/clock.json" <<'PY' || fail "scene --clock JSON"
import json, sys
frames = json.load(open(sys.argv[1]))["frames"]
assert [f["clock"] for f in frames] == ["123458"] * 4 + ["123459"] * 4 + ["123500"], [f["clock"] for f in frames]
assert frames[0]["records"] == [28, 29, 30, 31, 32, 35] and frames[4]["records"] == [28, 29, 30, 31, 32, 36]
assert frames[8]["records"] == [28, 29, 30, 32, 27, 27]
PY
"$korunex" scene --ini "$work/clock.ini" --clock --at 09:05:00 --frames 1 > "$work/clock.json" &&
  python3 -c 'import json,sys; f=json.load(open(sys.argv[1]))["frames"][0]; assert f["records"] == [27, 36, 0, 27, 32, 0, 27, 27], f["records"]' \
    "$work/clock.json" || fail "the default format's colons are not gaps"
cmp -s "$work/clock.ini" "$source_dir/data/KORUNEX.ini" || fail "--clock changed the file"
for mistake in "--at 12:34:56" "--clock --at 24:00:00" "--clock --at 12:34" "--clock %H --text AB"; do
  "$korunex" scene --ini "$work/clock.ini" $mistake > /dev/null 2> "$work/err"
  [ $? -eq 2 ] && [ -s "$work/err" ] || fail "scene $mistake is not explained as a mistake"
done

echo "$((failures == 0 ? 1 : 0)) passed, $failures failed"
[ $failures -eq 0 ]
