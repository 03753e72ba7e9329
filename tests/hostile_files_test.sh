#!/usr/bin/env bash
# The settings file under hostile and careless use: special files, a full
# disk, pictures aimed at it, writers at once. Nothing hangs, nothing is lost.
source "$(dirname "$0")/tool_test_lib.sh"
checks=0
default="$source_dir/data/KORUNEX.ini"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# Homes whose settings file is no regular file, or that are no folder.
mkdir -p "$work"/{fifo,device,folder,large,plain}
mkfifo "$work/fifo/KORUNEX.ini"
ln -s /dev/zero "$work/device/KORUNEX.ini"
mkdir "$work/folder/KORUNEX.ini"
truncate -s 65M "$work/large/KORUNEX.ini"
touch "$work/a-file"
cp "$default" "$work/a.ini"
ln -s a.ini "$work/a-link.ini"
ln "$work/a.ini" "$work/a-hard.png"
cp "$default" "$work/r.ini"

# home ('-' for none) | exit status | what stderr says | the command after korunex
while IFS='|' read -r home status message args; do
  [ -z "$home" ] && continue
  checks=$((checks + 1))
  cp "$work/a.ini" "$work/a.before"
  if [ "$home" = - ]; then env -u KORUNEX_HOME timeout 10 "$korunex" $args < /dev/null > /dev/null 2> "$work/err"
  else KORUNEX_HOME=$home timeout 10 "$korunex" $args < /dev/null > /dev/null 2> "$work/err"; fi
  got=$?
  [ "$got" = "$status" ] || fail "$args (home $home): exit $got, not $status; $(head -c 200 "$work/err")"
  grep -q -- "$message" "$work/err" || fail "$args (home $home) says: $(head -c 200 "$work/err")"
  cmp -s "$work/a.ini" "$work/a.before" || fail "$args changed a.ini"
  [ -z "$(find "$work" -name '*.new-*')" ] || fail "$args left a temporary file"
done <<CASES
$work/fifo|2|KORUNEX.ini is a FIFO, not a regular file|shapes
$work/fifo|2|is a FIFO, not a regular file|text A --font $font
$work/device|2|KORUNEX.ini is a device, not a regular file|scene --frames 1
$work/folder|2|KORUNEX.ini is a folder, not a file|shapes
$work/large|2|is larger than 64 MiB, too large for a settings file|shapes
$work/a-file|2|KORUNEX_HOME=$work/a-file names a file, not a folder|shapes
relative|2|KORUNEX_HOME=relative is not an absolute folder|render --out $work/r
$work/plain|2|--ini /dev/zero: is a device, not a regular file|shapes --ini /dev/zero
$work/plain|2|--ini $work/fifo/KORUNEX.ini: is a FIFO, not a regular file|saver --ini $work/fifo/KORUNEX.ini
$work/plain|2|$work/a.ini is the settings file; a picture is never written over it|text AB --font $font --ini $work/a.ini --preview $work/a.ini
$work/plain|2|$work/a-link.ini is the settings file|text AB --font $font --ini $work/a.ini --preview $work/a-link.ini
$work/plain|2|$work/a-hard.png is the settings file|render --ini $work/a.ini --out $work/r --sheet $work/a-hard.png
$work/plain|2|cannot write $work/fifo/KORUNEX.ini: it is no regular file|render --ini $work/a.ini --out $work/r --sheet $work/fifo/KORUNEX.ini
$work/plain|2|cannot write /no/such/dir/p.png: no folder /no/such/dir|text AB --font $font --ini $work/a.ini --preview /no/such/dir/p.png
CASES
# A frame named like the settings file.
checks=$((checks + 1))
mkdir -p "$work/r" && mv "$work/r.ini" "$work/r/frame-0000.png"
KORUNEX_HOME=$work/plain timeout 10 "$korunex" render --ini "$work/r/frame-0000.png" --out "$work/r" --frames 3 \
  > /dev/null 2> "$work/err"
[ $? -eq 2 ] && grep -q "frame-0000.png is the settings file" "$work/err" || fail "a frame over the settings file: $(cat "$work/err")"
cmp -s "$work/r/frame-0000.png" "$default" || fail "a frame was written over the settings file"

# A pipe given as /dev/stdin is refused at once, not read forever.
checks=$((checks + 1))
yes | timeout 10 "$korunex" shapes --ini /dev/stdin > /dev/null 2> "$work/err"
[ $? -eq 2 ] && grep -q "is a FIFO" "$work/err" || fail "a pipe as --ini: $(cat "$work/err")"

# A full disk (here: a file size limit) at the first run leaves no partial
# file, says so and fails; the next run installs the whole file.
checks=$((checks + 3))
(ulimit -f 4; trap '' XFSZ; KORUNEX_HOME=$work/full exec "$korunex" shapes) > /dev/null 2> "$work/err"
[ $? -eq 2 ] && grep -q "KORUNEX.ini cannot be made: File too large" "$work/err" || fail "full disk at install: $(cat "$work/err")"
[ -z "$(ls -A "$work/full")" ] || fail "a full disk left $(ls -A "$work/full")"
KORUNEX_HOME=$work/full "$korunex" shapes > /dev/null && cmp -s "$work/full/KORUNEX.ini" "$default" || fail "install after a full disk"
# ... and a text written to a full disk leaves the file as it was.
cp "$work/full/KORUNEX.ini" "$work/full.before"
(ulimit -f 10; trap '' XFSZ; KORUNEX_HOME=$work/full exec "$korunex" text Q --font "$font") > /dev/null 2> "$work/err"
[ $? -eq 1 ] && grep -q "cannot be written: File too large; the file is unchanged" "$work/err" || fail "full disk: $(cat "$work/err")"
cmp -s "$work/full/KORUNEX.ini" "$work/full.before" && [ "$(ls "$work/full")" = KORUNEX.ini ] || fail "a full disk changed the file"

# Writers at once: every run's records are there afterwards.
checks=$((checks + 1))
cp "$default" "$work/shared.ini"
for text in AB CD EF GH; do "$korunex" text "$text" --font "$font" --ini "$work/shared.ini" > /dev/null & done
wait
for letter in A B C D E F G H; do
  grep -q "^ZAHYO[0-9]*=$letter," "$work/shared.ini" || fail "writers at once lost the record of $letter"
done
"$korunex" shapes --check --ini "$work/shared.ini" > /dev/null || fail "writers at once broke the file"

# A settings folder the user may not write: said plainly, nothing made.
# (Root may write anywhere, so a user without rights is asked.)
chmod 755 "$work"
if [ "$(id -u)" = 0 ] && id nobody > /dev/null 2>&1 && runuser -u nobody -- test -x "$korunex" -a -w /dev/null; then
  checks=$((checks + 1))
  mkdir -p "$work/locked-home" && chmod 555 "$work/locked-home"
  KORUNEX_HOME=$work/locked-home runuser -u nobody -- "$korunex" shapes > /dev/null 2> "$work/err"
  [ $? -eq 2 ] && grep -q "locked-home/KORUNEX.ini cannot be made: cannot make a file beside it: Permission denied" \
    "$work/err" || fail "an unwritable settings folder: $(cat "$work/err")"
  [ -z "$(ls -A "$work/locked-home")" ] || fail "an unwritable folder got $(ls -A "$work/locked-home")"
fi

# Root writing a user's file leaves it the user's.
if [ "$(id -u)" = 0 ]; then
  checks=$((checks + 1))
  chown 4321:4322 "$work/shared.ini"
  "$korunex" text XY --font "$font" --ini "$work/shared.ini" > /dev/null || fail "text into a user's file"
  [ "$(stat -c %u:%g "$work/shared.ini")" = 4321:4322 ] || fail "root took over the file: $(stat -c %u:%g "$work/shared.ini")"
fi

echo "$((checks - failures)) passed, $failures failed"
[ $failures -eq 0 ]
