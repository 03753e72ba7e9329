#!/usr/bin/env bash
# korunex-text.exe under Wine: the letters it writes through the profile
# calls, against the same font file read by FreeType in the Linux tool.
# usage: text_tool_test.sh korunex-text.exe SOURCE_DIR LINUX_KORUNEX
set -u
tool=$1
source_dir=$2
korunex=$3
run=$source_dir/tests/wine/run-in-wine
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
[ -x "$korunex" ] || { echo "FAIL: no Linux korunex at $korunex (build the native preset first)"; exit 1; }
winpath() { echo "Z:${1//\//\\}"; }
# Wine offers the system's fonts; DejaVu Sans Bold is also read by FreeType below.
font_file=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

cp "$source_dir/data/KORUNEX.ini" "$work/win.ini"
"$run" "$tool" KORUNEX --font "DejaVu Sans" --bold --ini "$(winpath "$work/win.ini")" --use --json \
  > "$work/win.json" 2> "$work/err" || fail "the tool exits non-zero: $(cat "$work/err")"
cp "$source_dir/data/KORUNEX.ini" "$work/linux.ini"
"$korunex" text KORUNEX --font "$font_file" --ini "$work/linux.ini" --json --dry-run > "$work/linux.json" ||
  fail "the Linux tool exits non-zero"
python3 - "$work/win.json" "$work/linux.json" "$source_dir/data/KORUNEX.ini" "$work/win.ini" <<'PY' || fail "records"
import sys, json
def report(path):
    return json.loads(open(path, encoding="utf-8").read().split("\n")[0])
win, linux = report(sys.argv[1]), report(sys.argv[2])
assert win["written"], win
# The platform's outlines and FreeType's give the same letters, up to rounding ties.
for w, l in zip(win["characters"], linux["characters"]):
    assert w["inFont"] and w["points"] <= 45 and w["contours"] == l["contours"], (w, l)
    assert abs(w["deviationPercentOfEm"] - l["deviationPercentOfEm"]) < 0.1, (w, l)
    assert w["deviationPercentOfEm"] < 1.0, w

def entries(path):
    section, out = None, {}
    for line in open(path, "rb").read().decode("cp932").splitlines():
        line = line.strip()
        if line.startswith("["):
            section = line.strip("[]")
        elif "=" in line:
            key, value = line.split("=", 1)
            out[(section, key.strip())] = value.strip()
    return out
before, after = entries(sys.argv[3]), entries(sys.argv[4])
for key, value in before.items():
    if value != "ZAHYO-END":
        assert after[key] == value, key  # every record there stays as it was
records = [after[("MOJI ZAHYO", "ZAHYO%d" % k)] for k in range(44, 51)]
assert [r.split(",")[0] for r in records] == list("KORUNEX"), records
assert after[("MOJI ZAHYO", "ZAHYO51")] == "ZAHYO-END"
assert after[("KORUNEX", "OPTIONN")] == "7" and after[("KORUNEX", "OPTIONA1")] == "44"
PY
"$korunex" shapes --check --ini "$work/win.ini" > "$work/check" || fail "the written records are not sound: $(tail -3 "$work/check")"

# A character the font lacks: reported, and nothing written.
cp "$work/win.ini" "$work/kept.ini"
"$run" "$tool" "Aあ" --font "DejaVu Sans" --ini "$(winpath "$work/win.ini")" > /dev/null 2> "$work/err"
[ $? -eq 1 ] && grep -q "has no glyph for あ (U+3042)" "$work/err" || fail "missing glyph: $(cat "$work/err")"
cmp -s "$work/win.ini" "$work/kept.ini" || fail "a refused text changed the file"
"$run" "$tool" K --font "No Such Face" --ini "$(winpath "$work/win.ini")" > /dev/null 2> "$work/err"
[ $? -eq 1 ] && grep -q "no installed font is named 'No Such Face'" "$work/err" || fail "unknown face: $(cat "$work/err")"
"$run" "$tool" --use > /dev/null 2> "$work/err"
[ $? -eq 2 ] && grep -q "usage: korunex-text" "$work/err" || fail "no text: $(cat "$work/err")"

# Kana from a Japanese font, and the text again: every record reused.
"$run" "$tool" "あア" --font IPAGothic --ini "$(winpath "$work/win.ini")" --report > "$work/out" 2>&1 ||
  fail "kana: $(cat "$work/out")"
cp "$work/win.ini" "$work/kept.ini"
"$run" "$tool" "あア" --font IPAGothic --ini "$(winpath "$work/win.ini")" > "$work/out" 2>&1
grep -q "0 new records from IPAGothic, 2 already there" "$work/out" || fail "second kana run: $(cat "$work/out")"
cmp -s "$work/win.ini" "$work/kept.ini" || fail "reused records changed the file"

[ $failures -eq 0 ] && echo "all Windows text tool checks passed"
exit $((failures > 0))
