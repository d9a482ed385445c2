#!/usr/bin/env bash
# Replays every fuzz target once over its seeds and over the crash files kept
# in fuzz/regressions/TARGET, with the replay programs of a sanitizer build
# (a sanitizer build makes a replay program of each target):
#   fuzz/replay.sh BUILD STAGING
# BUILD is the build folder, STAGING the authored data tree the seeds are
# made from (build/content_staging/quellon_data). Each target's messages go
# to BUILD/TARGET.replay.log; a crash or a sanitizer report fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
staging=$2
seeds="$build/fuzz_seeds"
"$root/fuzz/seeds.sh" "$staging" "$seeds" "$build/bin/archive_seeds" "$root/build/bin/demodat"
export SDL_AUDIODRIVER=dummy
start=$(date +%s%N)
inputs=0
targets=0
for source in "$root"/fuzz/fuzz_*.cpp; do
  t=$(basename "$source" .cpp)
  folders=("$seeds/$t")
  [[ -d $root/fuzz/regressions/$t ]] && folders+=("$root/fuzz/regressions/$t")
  log="$build/$t.replay.log"
  if ! "$build/bin/$t" "${folders[@]}" >"$log" 2>&1; then
    echo "fuzz replay: $t FAILED (the input is named at the end of $log)"
    tail -40 "$log"
    exit 1
  fi
  count=$(tail -1 "$log" | sed -n 's/.*: \([0-9]*\) inputs$/\1/p')
  inputs=$((inputs + ${count:-0}))
  targets=$((targets + 1))
done
elapsed=$((($(date +%s%N) - start) / 1000000))
echo "fuzz replay: $targets targets, $inputs inputs, no crash, in $((elapsed / 1000)).$(printf %03d $((elapsed % 1000))) s"
