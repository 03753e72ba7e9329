#!/usr/bin/env bash
# korunex text on real files: what it writes, what it keeps, what it refuses.
set -u
korunex=$1
source_dir=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
font="DejaVu Sans:bold"

cp "$source_dir/data/KORUNEX.ini" "$work/shapes.ini"
cp "$work/shapes.ini" "$work/before.ini"
"$korunex" text KORUNEX --font "$font" --ini "$work/shapes.ini" --use > "$work/out" || fail "text exits non-zero"
grep -q '7 new records' "$work/out" || fail "summary: $(cat "$work/out")"
python3 - "$work/before.ini" "$work/shapes.ini" <<'PY' || fail "the file around the new records"
import sys
before, after = (open(p, 'rb').read() for p in sys.argv[1:])
marker = b"ZAHYO44=ZAHYO-END\r\n"
head, tail = before.split(marker)
assert after.startswith(head), "lines before the records changed"
new = after[len(head):].split(b"\r\n")
assert [l.split(b"=")[0] for l in new[:8]] == [b"ZAHYO%d" % k for k in range(44, 52)], new[:8]
assert [l.split(b",")[0] for l in new[:7]] == [b"ZAHYO%d=%s" % (44 + i, bytes([c])) for i, c in enumerate(b"KORUNEX")]
assert new[7] == b"ZAHYO51=ZAHYO-END"
assert tail in after[len(head):], "lines after the records changed"
assert b"OPTIONA7=50\r\n" in after and b"OPTIONN=7\r\n" in after
PY
"$korunex" shapes --check --ini "$work/shapes.ini" > "$work/check" || fail "the new records are not sound: $(tail -3 "$work/check")"

# The same text again reuses every record and changes nothing.
cp "$work/shapes.ini" "$work/once.ini"
"$korunex" text KORUNEX --font "$font" --ini "$work/shapes.ini" --use > "$work/out" || fail "second run exits non-zero"
grep -q '0 new records.*7 already there' "$work/out" || fail "second summary: $(cat "$work/out")"
cmp -s "$work/shapes.ini" "$work/once.ini" || fail "a second run changed the file"

# Through a symlink: the link stays, its file changes; permissions are kept.
chmod 640 "$work/shapes.ini"
ln -s shapes.ini "$work/link.ini"
"$korunex" text "Kg" --font "$font" --ini "$work/link.ini" > /dev/null || fail "text through a link"
[ -L "$work/link.ini" ] || fail "the link was replaced by a file"
grep -q '^ZAHYO52=g,' "$work/shapes.ini" || fail "the linked file did not get the record"
[ "$(stat -c %a "$work/shapes.ini")" = 640 ] || fail "permissions became $(stat -c %a "$work/shapes.ini")"

# Refusals leave the file byte for byte as it was, with a plain message and status 1.
cp "$work/shapes.ini" "$work/kept.ini"
refused() {  # expected message, then the arguments
  local message=$1; shift
  "$korunex" text "$@" --ini "$work/shapes.ini" > /dev/null 2> "$work/err"
  [ $? -eq 1 ] || fail "$* is not refused"
  grep -q "$message" "$work/err" || fail "$* says: $(cat "$work/err")"
  cmp -s "$work/shapes.ini" "$work/kept.ini" || fail "$* changed the file"
}
chmod 444 "$work/shapes.ini"
refused "read-only; the file is unchanged" Z --font "$font"
chmod 644 "$work/shapes.ini"
refused "has no glyph for あ (U+3042)" "Aあ" --font "$font"
refused "at most 9 characters, not 10" ABCDEFGHIJ --font "$font" --use
"$korunex" text Q --font "$font" --ini "$work/shapes.ini" --dry-run > /dev/null || fail "--dry-run exits non-zero"
cmp -s "$work/shapes.ini" "$work/kept.ini" || fail "--dry-run changed the file"

# The dialog lists 99 records: a file of 98 takes one more, not two.
python3 - "$work/full.ini" <<'PY'
import sys
with open(sys.argv[1], "w") as f:
    f.write("[MOJI ZAHYO]\n")
    for k in range(1, 99):
        f.write("ZAHYO%d=R,3,0,0,0,0,0,1,1,3%s,0,%d,%d,0,0,0\n" % (k, ",0" * 24, k, k))
    f.write("ZAHYO99=ZAHYO-END\n")
PY
cp "$work/full.ini" "$work/full-before.ini"
"$korunex" text AB --font "$font" --ini "$work/full.ini" > /dev/null 2> "$work/err"
[ $? -eq 1 ] && grep -q "would hold 100 shape records" "$work/err" || fail "99 limit: $(cat "$work/err")"
cmp -s "$work/full.ini" "$work/full-before.ini" || fail "the refused file changed"
"$korunex" text A --font "$font" --ini "$work/full.ini" > /dev/null || fail "the 99th record is refused"

# The report as JSON, kana named in the Japanese code page, and a preview.
"$korunex" text "あK" --font IPAGothic --ini "$work/shapes.ini" --json --preview "$work/preview.png" > "$work/json" ||
  fail "--json --preview exits non-zero"
python3 - "$work/json" <<'PY' || fail "JSON report: $(head -c 300 "$work/json")"
import json, sys
report = json.loads(open(sys.argv[1]).readline())
assert report["written"] and report["font"].startswith("IPAGothic")
chars = report["characters"]
assert [c["codePoint"] for c in chars] == [0x3042, 0x4B]
for c in chars:
    assert c["inFont"] and 3 <= c["points"] <= 45 and 1 <= c["contours"] <= 13, c
    assert 0 < c["deviationPercentOfEm"] < 1.8, c
PY
[ "$(head -c 8 "$work/preview.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "--preview wrote no PNG"
grep -a -q "^ZAHYO53=$(printf '\x82\xa0')," "$work/shapes.ini" || fail "あ is not named in the Japanese code page"

# The saver's tools build --text letters in memory and never touch the file.
cp "$work/shapes.ini" "$work/kept.ini"
"$korunex" render --text "あK" --font IPAGothic --ini "$work/shapes.ini" --frames 1 --out "$work/frames" > /dev/null ||
  fail "render --text exits non-zero"
"$korunex" scene --text "Hi" --font "$font" --ini "$work/shapes.ini" --frames 0 > "$work/scene.json" || fail "scene --text"
python3 -c "import json,sys; s=json.load(open(sys.argv[1]))['setup']; assert [x['record'] for x in s['slots']]==[1,2], s" \
  "$work/scene.json" || fail "scene --text does not show the text's letters"
cmp -s "$work/shapes.ini" "$work/kept.ini" || fail "--text changed the file"

[ $failures -eq 0 ] && echo "all text tool checks passed"
exit $((failures > 0))
