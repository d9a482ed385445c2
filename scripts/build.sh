#!/usr/bin/env bash
# Configures and builds one build folder:
#   build.sh FOLDER [cmake options...] [--target TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
options=()
targets=()
while (($#)); do
  if [[ $1 == --target ]]; then
    shift
    targets+=("$@")
    break
  fi
  options+=("$1"); shift
done
cmake -S "$root" -B "$root/$dir" -G Ninja "${options[@]}" >/dev/null
if ((${#targets[@]})); then
  cmake --build "$root/$dir" -j "$(nproc)" --target "${targets[@]}"
else
  cmake --build "$root/$dir" -j "$(nproc)"
fi
