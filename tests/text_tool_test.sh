#!/usr/bin/env bash
# korunex text on real files: what it writes, what it keeps, what it refuses.
source "$(dirname "$0")/tool_test_lib.sh"
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

# Hostile and careless input: the status, a fragment of what korunex says,
# the settings file byte for byte as it was, and never a raw control byte
# on the terminal. Fields: status | fragment | arguments after korunex, as
# the shell reads them ($F is the file, $H one with hostile record names).
cp "$work/shapes.ini" "$work/kept.ini"
F=$work/shapes.ini
H=$work/hostile.ini
printf '[MOJI ZAHYO]\nZAHYO1=\033]2;owned\a,3,0,0,0,0,0,1,1,3%s,0,9,9,0,0,0\nZAHYO2=ZAHYO-END\n' "$(printf ',0%.0s' $(seq 24))" > "$H"
cp "$H" "$work/hostile-kept.ini"
mkfifo "$work/fifo.ttf"
echo "no font" > "$work/plain.ttf"
kana=$(python3 -c 'print("".join(chr(c) for c in range(0x3041, 0x3041 + 60)))')
export KORUNEX_HOME=$work/home
mkdir -p "$KORUNEX_HOME" && cp "$work/shapes.ini" "$KORUNEX_HOME/KORUNEX.ini"
while IFS='|' read -r status fragment args; do
  [ -z "$status" ] && continue
  eval "set -- $args"
  timeout 10 "$korunex" "$@" < /dev/null > "$work/said" 2>&1
  got=$?
  [ "$got" = "$status" ] || fail "korunex $args: exit $got, not $status: $(head -c 300 "$work/said")"
  grep -q -F -- "$fragment" "$work/said" || fail "korunex $args says: $(head -c 300 "$work/said")"
  cmp -s "$F" "$work/kept.ini" && cmp -s "$H" "$work/hostile-kept.ini" || fail "korunex $args changed a file"
  ! LC_ALL=C grep -q -P '[\x00-\x08\x0b-\x1f\x7f]' "$work/said" || fail "korunex $args printed a control byte"
done <<'CASES'
1|has no glyph for あ (U+3042)|text "Aあ" --font "$font" --ini "$F"
1|at most 9 characters, not 10|text ABCDEFGHIJ --font "$font" --use --ini "$F"
1|no visible character|text "   " --font "$font" --use --ini "$F"
1|shape records, and the dialog lists only 99|text "$kana" --font IPAGothic --ini "$F"
1|has no glyph for \x1b (U+001B)|text $'A\e]2;x\aB' --font "$font" --ini "$F" --report
2|text needs the TEXT|text --ini "$F"
2|text takes no --text|text A --text B --ini "$F"
2|a TEXT that starts with '-' goes after --|text -A --ini "$F"
2|'B' would be a second|text A B --ini "$F"
2|--ini needs FILE, not an empty value|text A --ini ''
2|--font needs PATTERN|text A --font '' --ini "$F"
2|--preview needs FILE.png, not an empty value|text A --preview '' --ini "$F"
2|text uses --frames only for its --preview|text A --frames 3 --ini "$F"
2|font file /nonexistent.ttf: no such file|text A --font /nonexistent.ttf --ini "$F"
2|font file /dev/null is a device|text A --font /dev/null --ini "$F"
2|is a folder, not a font file|text A --font "$work" --ini "$F"
2|is a FIFO, not a font file|text A --font "$work/fifo.ttf" --ini "$F"
2|is not a font FreeType can read|text A --font "$work/plain.ttf" --ini "$F"
2|--font is the font of --text|render --font "$font" --out "$work/frames" --ini "$F"
2|--font is the font of --text|scene --font "$font" --ini "$F"
2|no visible character|scene --text "   " --font "$font" --ini "$F"
2|scene takes no --out|scene --out "$work/frames" --ini "$F"
2|shapes takes no --set|shapes --set COLOR=1 --ini "$F"
2|--ini is given twice|shapes --ini "$F" --ini "$H"
2|--out needs DIR, not an empty value|render --out '' --ini "$F"
2|--sheet needs FILE.png, not an empty value|render --out "$work/frames" --sheet '' --ini "$F"
0|1 new record from DejaVu Sans Bold, 0 already there, 1 repeat|text xx --font "$font" --ini "$F" --dry-run
0|shapes.ini: 2 new records from DejaVu Sans Bold|text --font "$font" --ini "$F" --dry-run -- -A
0|home/KORUNEX.ini: 2 new records|text --dry-run -- -A
0|no installed font matches the family of 'Nonesuch Sans'; using DejaVu Sans|text A --font 'Nonesuch Sans' --ini "$F" --dry-run
1|\x1b]2;owned\x07|shapes --check --ini "$H"
CASES
unset KORUNEX_HOME
chmod 444 "$work/shapes.ini"
"$korunex" text Z --font "$font" --ini "$work/shapes.ini" > /dev/null 2> "$work/err"
[ $? -eq 1 ] && grep -q "read-only; the file is unchanged" "$work/err" || fail "a read-only file: $(cat "$work/err")"
chmod 644 "$work/shapes.ini"
cmp -s "$work/shapes.ini" "$work/kept.ini" || fail "the read-only file changed"
"$korunex" text Q --font "$font" --ini "$work/shapes.ini" --dry-run > /dev/null || fail "--dry-run exits non-zero"
cmp -s "$work/shapes.ini" "$work/kept.ini" || fail "--dry-run changed the file"

# A repeat shares its character's record: one new record, and the JSON says
# which is the repeat. Any file name and text give valid JSON.
odd=$work/$'odd\xff\e name.ini'
cp "$work/shapes.ini" "$odd"
"$korunex" text xx --font "$font" --ini "$odd" --json > "$work/json" || fail "text xx --json exits non-zero"
python3 - "$work/json" "$odd" <<'PY' || fail "repeats in JSON: $(head -c 400 "$work/json")"
import json, os, sys
report = json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))
assert report["file"] == os.fsencode(sys.argv[2]).decode("latin-1"), report["file"]
first, second = report["characters"]
assert first["record"] == second["record"] > 0 and not first["reused"] and not second["reused"]
assert "repeat" not in first and second["repeat"] is True
PY
"$korunex" text xx --font "$font" --ini "$odd" --report > "$work/report" || fail "text xx --report exits non-zero"
[ "$(grep -c '(repeat)' "$work/report")" = 1 ] && grep -q '0 new records.*1 already there, 1 repeat' "$work/report" ||
  fail "repeats in the report: $(cat "$work/report")"

# Files with a byte-order mark read back only the ASCII of a name: records of
# other characters go by their code point, and a second run finds them.
python3 - "$source_dir/data/KORUNEX.ini" "$work" <<'PY'
import sys
text = open(sys.argv[1], "rb").read().decode("cp932")
open(sys.argv[2] + "/utf16.ini", "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))
open(sys.argv[2] + "/utf8.ini", "wb").write(b"\xef\xbb\xbf" + text.encode("utf-8"))
PY
for marked in utf16 utf8; do
  "$korunex" text "あK" --font IPAGothic --ini "$work/$marked.ini" > "$work/out" || fail "$marked: text exits non-zero"
  grep -q '2 new records' "$work/out" || fail "$marked: $(cat "$work/out")"
  "$korunex" shapes --check --ini "$work/$marked.ini" > "$work/check" || fail "$marked: unsound records: $(tail -3 "$work/check")"
  grep -q '^ 44  U+3042 ' "$work/check" || fail "$marked: あ is not named by its code point: $(tail -3 "$work/check")"
  cp "$work/$marked.ini" "$work/$marked.once"
  "$korunex" text "あK" --font IPAGothic --ini "$work/$marked.ini" > "$work/out" || fail "$marked: second run"
  grep -q '0 new records.*2 already there' "$work/out" || fail "$marked second run: $(cat "$work/out")"
  cmp -s "$work/$marked.ini" "$work/$marked.once" || fail "$marked: a second run changed the file"
done

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

# --clock adds the records its characters lack (the default file has no
# colon), turns the clock on with the format, and a second run adds nothing;
# the saver then shows the colon's record between the digits.
cp "$source_dir/data/KORUNEX.ini" "$work/clock.ini"
"$korunex" text --clock %H:%M --ini "$work/clock.ini" > "$work/out" || fail "text --clock exits non-zero"
grep -q '1 new record' "$work/out" && grep -aq '^TOKEI=1' "$work/clock.ini" && grep -aq '^TOKEIFMT=%H:%M' "$work/clock.ini" &&
  grep -aq '^ZAHYO44=:,' "$work/clock.ini" || fail "text --clock: $(cat "$work/out")"
cp "$work/clock.ini" "$work/clock-kept.ini"
"$korunex" text --clock --ini "$work/clock.ini" > /dev/null && cmp -s "$work/clock.ini" "$work/clock-kept.ini" ||
  fail "a second text --clock changed the file"
"$korunex" text --clock %H:%M --use --dry-run --ini "$work/clock.ini" > "$work/out" &&
  ! grep -q 'shows the text' "$work/out" || fail "text --clock --use says the saver shows the text: $(cat "$work/out")"
"$korunex" scene --ini "$work/clock.ini" --clock --at 12:34:00 --frames 1 > "$work/scene.json" &&
  python3 -c "import json,sys; f=json.load(open(sys.argv[1]))['frames'][0]; assert f['records']==[28,29,44,30,31], f" \
    "$work/scene.json" || fail "the clock does not show the new colon"
"$korunex" text --clock '%H時' --ini "$work/clock.ini" 2> "$work/err"
[ $? -eq 2 ] && grep -q 'ASCII' "$work/err" && cmp -s "$work/clock.ini" "$work/clock-kept.ini" ||
  fail "a format the saver cannot read back is not refused"

[ $failures -eq 0 ] && echo "all text tool checks passed"
exit $((failures > 0))
