#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UBSan, and runs
# each for a bounded time: fuzz/run.sh [SECONDS_PER_TARGET] (default 60).
# Corpora grow in build-fuzz/corpus/NAME; crashes land in build-fuzz/crashes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build-fuzz"
targets=(fuzz_geometry fuzz_animation fuzz_cameras fuzz_xml)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DMURMUR_FUZZ=ON -DMURMUR_SANITIZE=ON -DMURMUR_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
mkdir -p "$build/crashes"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  dict=()
  case $t in
    fuzz_geometry) dict=(-dict="$root/fuzz/geometry.dict") ;;
    fuzz_xml) dict=(-dict="$root/fuzz/xml.dict") ;;
  esac
  echo "== $t: ${seconds}s"
  if ! "$build/bin/$t" "${dict[@]}" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/crashes/$t-" -print_final_stats=1 "$build/corpus/$t" 2>"$build/$t.log"; then
    echo "$t FAILED; see $build/$t.log and $build/crashes/"
    tail -40 "$build/$t.log"
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$t.log" || true
  fi
done
exit $status
