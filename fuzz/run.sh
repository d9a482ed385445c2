#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UBSan, and runs
# them one after another:
#   fuzz/run.sh [-runs N] [SECONDS] [TARGET...]
# Each target runs for SECONDS (default 60), or with -runs until it has
# executed N inputs. Without TARGET every target runs. The seeds come from
# the built content (build/content_staging, see fuzz/seeds.sh) and the PNG
# suite; corpora grow in build-fuzz/corpus/NAME, crashes land in
# build-fuzz/crashes, and each target's log is build-fuzz/NAME.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=0
if [[ ${1:-} == -runs ]]; then
  runs=$2
  shift 2
fi
seconds=60
if [[ ${1:-} =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
((runs == 0)) || seconds=0
build="$root/build-fuzz"
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(fuzz_geometry fuzz_animation fuzz_cameras fuzz_xml fuzz_material fuzz_font fuzz_png fuzz_jpeg fuzz_music fuzz_archive)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DMURMUR_FUZZ=ON -DMURMUR_SANITIZE=ON -DMURMUR_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" archive_seeds
staging="$root/build/content_staging/quellon_data"
if [[ -d $staging ]]; then
  "$root/fuzz/seeds.sh" "$staging" "$build/seeds" "$build/bin/archive_seeds" "$root/build/bin/demodat"
else
  echo "no built content in $staging: the targets start without its seeds"
  mkdir -p "$build/seeds"
fi
mkdir -p "$build/crashes"
export SDL_AUDIODRIVER=dummy
# The music and archive targets write every input to a scratch folder: keep
# it in memory where the machine has a tmpfs (three times the archive's pace).
if [[ -z ${TMPDIR:-} && -d /dev/shm && -w /dev/shm ]]; then
  export TMPDIR=/dev/shm
fi
# A small quarantine: freed picture buffers are large, and the default one
# holds enough of them to pass the memory limit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/seeds/$t"
  options=(-max_len=65536)
  case $t in
    fuzz_geometry) options+=(-dict="$root/fuzz/geometry.dict") ;;
    fuzz_xml) options+=(-dict="$root/fuzz/xml.dict") ;;
    fuzz_material) options+=(-dict="$root/fuzz/material.dict") ;;
    fuzz_font) options+=(-dict="$root/fuzz/font.dict") ;;
    # The decoders report every damaged picture on stderr: keep the log to
    # libFuzzer's own lines.
    fuzz_png) options+=(-dict="$root/fuzz/png.dict" -close_fd_mask=2) ;;
    fuzz_jpeg) options+=(-dict="$root/fuzz/jpeg.dict" -close_fd_mask=2) ;;
    fuzz_music) options=(-max_len=4096 -dict="$root/fuzz/mp3.dict") ;;
    fuzz_archive) options+=(-dict="$root/fuzz/archive.dict") ;;
  esac
  # A picture of a few kilobytes may rightly decode to a gigabyte (16384 x
  # 16384 RGBA): give the decoders room for one.
  memory=2048
  case $t in
    fuzz_png | fuzz_jpeg) memory=4096 ;;
  esac
  if ((runs > 0)); then
    echo "== $t: $runs runs"
  else
    echo "== $t: ${seconds}s"
  fi
  if ! "$build/bin/$t" "${options[@]}" -runs="$((runs > 0 ? runs : -1))" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb="$memory" -artifact_prefix="$build/crashes/$t-" -print_final_stats=1 \
      "$build/corpus/$t" "$build/seeds/$t" 2>"$build/$t.log"; then
    echo "$t FAILED; see $build/$t.log and $build/crashes/"
    tail -40 "$build/$t.log"
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$t.log" || true
  fi
done
exit $status
