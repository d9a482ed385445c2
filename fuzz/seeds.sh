#!/usr/bin/env bash
# Makes the seed corpus of every fuzz target from the built content and the
# PNG suite: fuzz/seeds.sh STAGING OUT [SEEDER ARCHIVE], where STAGING is the
# authored data tree (build/content_staging/quellon_data) and OUT receives one
# folder per target (emptied first). SEEDER is the archive_seeds program of
# the build, which cuts ARCHIVE (the built demodat) into small archives and
# adds hostile ones; without it the archive target has no seeds. Pictures are
# taken up to 64 KiB; the soundtrack is cut to a few frames from its start and
# its middle; each JPEG of a chosen few is also stored progressive, grey, with
# arithmetic coding and with restart markers (lossless rewrites by jpegtran).
# Same inputs, same seeds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
staging=$1
out=$2
seeder=${3:-}
archive=${4:-}
suite="$root/../shared/testdata/pngsuite"
[[ -d $staging ]] || { echo "seeds.sh: $staging: no such folder (build the content first)" >&2; exit 1; }
rm -rf "$out"
for t in fuzz_geometry fuzz_animation fuzz_cameras fuzz_xml fuzz_material fuzz_font fuzz_png fuzz_jpeg fuzz_music fuzz_archive; do
  mkdir -p "$out/$t"
done

# Files of staging under the size limit with one of the extensions, sorted.
pick() {
  local limit=$1; shift
  local names=()
  for ext in "$@"; do names+=(-o -iname "*.$ext"); done
  find "$staging" -type f -size -"$limit"k \( "${names[@]:1}" \) | LC_ALL=C sort
}

# A seed's name: its path in the staging folder with "/" as "_".
copy() {
  local target=$1 file=$2
  local name=${file#"$staging"/}
  cp "$file" "$out/$target/${name//\//_}"
}

while read -r f; do copy fuzz_geometry "$f"; done < <(pick 64 geo)
while read -r f; do copy fuzz_animation "$f"; done < <(pick 64 ani)
while read -r f; do copy fuzz_cameras "$f"; done < <(pick 64 cam)
while read -r f; do copy fuzz_xml "$f"; copy fuzz_material "$f"; done < <(pick 64 mat)
while read -r f; do copy fuzz_xml "$f"; copy fuzz_font "$f"; done < <(pick 64 xml)
while read -r f; do copy fuzz_png "$f"; done < <(pick 64 png)
cp "$suite"/*.png "$out/fuzz_png/"

# Numbered picture sequences are alike: one of every eight is enough.
n=0
while read -r f; do
  if [[ $f =~ [0-9]+\.jpg$ ]]; then
    n=$((n + 1))
    ((n % 8 == 1)) || continue
  fi
  copy fuzz_jpeg "$f"
done < <(pick 64 jpg)
n=0
while read -r f; do
  n=$((n + 1))
  ((n <= 2)) || break
  name=${f#"$staging"/}
  base=$out/fuzz_jpeg/${name//\//_}
  base=${base%.jpg}
  jpegtran -progressive -outfile "$base.progressive.jpg" "$f"
  jpegtran -grayscale -outfile "$base.grey.jpg" "$f"
  jpegtran -arithmetic -outfile "$base.arithmetic.jpg" "$f"
  jpegtran -restart 2 -optimize -outfile "$base.restart.jpg" "$f"
  jpegtran -crop 24x16+8+8 -progressive -grayscale -outfile "$base.small.jpg" "$f"
done < <(pick 64 jpg)

while read -r f; do
  name=$(basename "$f" .mp3)
  size=$(stat -c %s "$f")
  dd if="$f" of="$out/fuzz_music/$name.start.mp3" bs=3000 count=1 status=none
  dd if="$f" of="$out/fuzz_music/$name.middle.mp3" bs=3000 count=1 skip=$((size / 2)) iflag=skip_bytes status=none
done < <(pick 100000 mp3)

if [[ -n $seeder ]]; then
  "$seeder" "$archive" "$out/fuzz_archive"
else
  echo "seeds.sh: no archive_seeds program given: the archive target starts without seeds"
fi
