#!/usr/bin/env bash
# The scenes and pictures of the test files, frame by frame, must stay exactly
# as they were: their digests are kept in tests/golden/scene-dumps.sha256, a
# picture's taken over its pixels so that any PNG encoder's file gives it.
# With --update the digests are written anew.
set -u
korunex=$(realpath "$1")
picture_tool=$(realpath "$2")
source_dir=$(cd "$3" && pwd)
update=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
digests="$source_dir/tests/golden/scene-dumps.sha256"

for case in default heavy heaviest moving; do
  ini="$work/$case.ini"
  cp "$source_dir/data/KORUNEX.ini" "$ini"
  [ "$case" = default ] || { printf '\r\n'; cat "$source_dir/tests/data/$case.settings"; } >> "$ini"
  "$korunex" scene --ini "$ini" --size 1920x1080 --frames 40 --seed 4660 > "$work/$case.json" || exit 1
  "$korunex" render --ini "$ini" --size 640x360 --frames 40 --every 13 --seed 4660 --out "$work/$case" > /dev/null || exit 1
done

cd "$work"
digest_all() {
  sha256sum ./*.json
  for picture in ./*/*.png; do
    echo "$("$picture_tool" pixels "$picture" | sha256sum | cut -d' ' -f1)  $picture"
  done
}
if [ "$update" = --update ]; then
  digest_all > "$digests"
  echo "wrote $digests"
  exit 0
fi
if diff <(digest_all) "$digests"; then
  echo "$(wc -l < "$digests") passed, 0 failed"
else
  mkdir -p "$source_dir/out/scene-dumps" && cp -r ./* "$source_dir/out/scene-dumps/"
  echo "scenes or pictures differ from their digests; what is drawn now is in out/scene-dumps/"
  echo "0 passed, 1 failed"
  exit 1
fi
