#!/usr/bin/env bash
# The show under damaged content. Copies of the built data tree, each with a
# sample of its files damaged (cut to half, a run of bytes overwritten,
# emptied, removed), are played headless by murmur-capture of a sanitizer
# build at a small size: from the start as a short video (which reads the
# soundtrack too), and up to later points of the show (the smoke and the
# dream, the flying chair, the credits) at one frame a second. Every run must
# end with exit code 0 within its time limit and without a sanitizer report
# (the GL driver's own leaks aside), and every damaged file that fails to
# load must be named in the run's log. The total CPU time of the runs is
# printed at the end.
#
#   damaged_content.sh CAPTURE INSPECT STAGING [SEED]
#
# CAPTURE is murmur-capture of the sanitizer build, INSPECT murmur-inspect
# (it decides whether a damaged file still reads), STAGING the built data
# tree. Every kind of content file is damaged in every run of the script; the
# sample follows SEED (default: a fresh one, printed first), so a failure can
# be replayed with the same SEED. The runs' folders stay in $TMPDIR when one
# fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
capture=$(realpath "$1")
inspect=$(realpath "$2")
staging=$(realpath "$3")
seed=${4:-${MURMUR_DAMAGE_SEED:-$(( $(date +%s%N) / 1000 % 1000000 ))}}
[[ -x $capture ]] || { echo "damaged_content: $capture: no such program" >&2; exit 1; }
[[ -d $staging ]] || { echo "damaged_content: $staging: no such folder (build the content first)" >&2; exit 1; }
echo "damaged content: seed $seed (replay: $0 $capture $inspect $staging $seed)"
RANDOM=$seed

work=$(mktemp -d "${TMPDIR:-/tmp}/murmur-damaged-XXXXXX")
keep=0
cleanup() { if ((keep)); then echo "the runs' folders are kept in $work" >&2; else rm -rf "$work"; fi; }
trap cleanup EXIT

export SDL_AUDIODRIVER=dummy
# A leak report ends the run with the exit code 23; whether it is the
# show's is decided below.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:exitcode=86
export LSAN_OPTIONS=exitcode=23
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The files of one kind, sorted, relative to the staging folder.
files_of() {
  (cd "$staging" && find . -type f \( "$@" \) | sed 's|^\./||' | LC_ALL=C sort)
}
kinds=(geo ani cam mat png jpg shader xml mp3)
declare -A pattern=(
  [geo]='-name *.geo' [ani]='-name *.ani' [cam]='-name *.cam' [mat]='-name *.mat' [png]='-name *.png'
  [jpg]='-name *.jpg' [shader]='-name *.vpr -o -name *.fpr' [xml]='-name *.xml' [mp3]='-name *.mp3')
declare -A candidates
for kind in "${kinds[@]}"; do
  set -f
  # shellcheck disable=SC2086
  candidates[$kind]=$(files_of ${pattern[$kind]})
  set +f
  [[ -n ${candidates[$kind]} ]] || { echo "damaged_content: no .$kind file in $staging" >&2; exit 1; }
done

damages=(half overwrite empty remove)
# Runs: a name and murmur-capture's mode. The soundtrack is read only by the
# video, so it is damaged there.
runs=(start smoke chair credits)
declare -A mode=(
  [start]='--fps 10 --video show.mp4 --from 0 --to 3'
  [smoke]='--fps 1 --at 105 --out pictures'
  [chair]='--fps 1 --at 135 --out pictures'
  [credits]='--fps 1 --at 222 --out pictures')
# The font and the soundtrack are single files: each is damaged in one run.
font_run=${runs[RANDOM % ${#runs[@]}]}

# pick KIND: one file of that kind into $picked (not in a subshell, which
# would draw the same number every time).
pick() {
  local -a list
  mapfile -t list <<<"${candidates[$1]}"
  picked=${list[RANDOM % ${#list[@]}]}
}

# damage FILE HOW: damages FILE (a hard link into the staging folder, so the
# damaged copy is always a new file).
damage() {
  local file=$1 how=$2 size
  size=$(stat -c %s "$file")
  case $how in
    half)
      head -c $((size / 2)) "$file" >"$file.new" && mv "$file.new" "$file" ;;
    overwrite)
      local length=$((1 + RANDOM % 64)) at bytes="" byte i
      ((length <= size)) || length=$size
      at=$(( (RANDOM * 32768 + RANDOM) % (size - length + 1) ))
      # printf -v: a command substitution would draw from a reseeded RANDOM.
      for ((i = 0; i < length; i++)); do printf -v byte '\\x%02x' $((RANDOM % 256)); bytes+=$byte; done
      cp "$file" "$file.new"
      printf '%b' "$bytes" | dd of="$file.new" bs=1 seek="$at" conv=notrunc status=none
      mv "$file.new" "$file"
      echo "    ($length bytes at $at)" ;;
    empty)
      rm "$file" && : >"$file" ;;
    remove)
      rm "$file" ;;
  esac
}

# named LOG NAME DAMAGE: whether an error line of the run names the file: by
# its path in the data folder, or, for a removed file, by the name the show
# looks it up by.
named() {
  local log=$1 name=$2 how=$3 stem
  grep -F -e "$name" "$log" >/dev/null && return 0
  [[ $how == remove ]] || return 1
  stem=$(basename "$name")
  stem=${stem%.*}
  grep -F -e "\"$stem\"" -e "program $stem " -e "program $stem:" "$log" >/dev/null && return 0
  # The missing dream frames are listed by name.
  grep -E -e "(: |, )$stem(,|\$)" "$log" >/dev/null
}

# must_name FILE DAMAGE DAMAGED_COPY: whether the show has to name the file.
must_name() {
  local name=$1 how=$2 copy=$3
  case $name in
    *.vpr | *.fpr) [[ $how != overwrite ]] ;;
    *.mp3) [[ $how == empty || $how == remove ]] ;;
    # A light map is optional (a mesh without one is drawn without it): the
    # show cannot tell that one was removed.
    textures/lightmaps/*) [[ $how != remove ]] && ! "$inspect" "$copy" >/dev/null 2>&1 ;;
    *)
      [[ $how == remove ]] && return 0
      ! "$inspect" "$copy" >/dev/null 2>&1 ;;
  esac
}

# masked NAME: whether another file of the run that the show cannot load may
# be the only user of NAME, which is then never looked up: a removed file is
# named by its users, and the font's picture is read only through the font.
# A material's user is a geometry, a material map's a material. Geometries,
# animations and the greetings are looked up by the show itself, and every
# missing one is named.
masked() {
  local name=$1 other
  for other in "${failed[@]}"; do
    [[ $other == "$name" ]] && continue
    case $name in
      fonts/*.png) [[ $other == fonts/*.xml ]] && return 0 ;;
      textures/dream/* | textures/lightmaps/* | textures/greetz/*) ;;
      textures/*) [[ $other == materials/* ]] && return 0 ;;
      materials/*) [[ $other == models/* ]] && return 0 ;;
    esac
  done
  return 1
}

# own_leaks STDERR: the leak records of a run whose stack passes through a
# source file of this project. The GL driver is unloaded before the leak check, so
# its few allocations kept to the end show up as leaks from an unknown
# module; they are not the show's.
own_leaks() {
  awk -v root="$root/" '
    /^(Direct|Indirect) leak of/ { flush(); record = $0; next }
    record != "" && /^    #[0-9]+ / { record = record "\n" $0; if (index($0, root) && $0 ~ /\.(cpp|h):[0-9]+/) own = 1; next }
    { flush() }
    function flush() { if (own) print record; record = ""; own = 0 }
    END { flush() }' "$1"
}

failures=0
start=$(date +%s)
for r in "${!runs[@]}"; do
  run=${runs[r]}
  dir=$work/$run
  data=$dir/quellon_data
  mkdir -p "$dir/pictures"
  cp -rl "$staging" "$data" 2>/dev/null || { rm -rf "$data"; cp -r "$staging" "$data"; }
  echo "  run $run: ${mode[$run]}"
  damaged=()
  k=0
  for kind in "${kinds[@]}"; do
    k=$((k + 1))
    [[ $kind == mp3 && $run != start ]] && continue
    [[ $kind == xml && $run != "$font_run" ]] && continue
    pick "$kind"
    name=$picked
    how=${damages[(r + k + seed) % ${#damages[@]}]}
    echo "    $how $name"
    damage "$data/$name" "$how"
    damaged+=("$name:$how")
  done
  status=0
  # shellcheck disable=SC2086
  (cd "$dir" && exec timeout -k 10 120 "$capture" --data "$data" --size 96x54 ${mode[$run]} \
    >stdout.txt 2>stderr.txt) || status=$?
  # The capture's own lines (the soundtrack it could not read) are part of
  # the run's log.
  cat "$dir/log.txt" "$dir/stderr.txt" >"$dir/all.txt" 2>/dev/null || true
  problem=""
  if ((status == 124 || status == 137)); then
    problem="no end within 120 s (a hang)"
  elif grep -E -q "ERROR: AddressSanitizer|runtime error:" "$dir/stderr.txt"; then
    problem="a sanitizer report"
  elif [[ -n $(own_leaks "$dir/stderr.txt") ]]; then
    problem="the show leaks memory"
  elif ((status != 0 && status != 23)); then
    problem="exit code $status"
  fi
  # The damaged files that the show has to name, and of those the ones it
  # cannot load.
  owed=()
  failed=()
  for entry in "${damaged[@]}"; do
    name=${entry%:*}
    how=${entry##*:}
    copy=$data/$name
    [[ -e $copy ]] || copy=$staging/$name
    must_name "$name" "$how" "$copy" || continue
    owed+=("$entry")
    [[ $name == *.vpr || $name == *.fpr || $name == *.mp3 ]] || failed+=("$name")
  done
  for entry in "${owed[@]}"; do
    name=${entry%:*}
    how=${entry##*:}
    named "$dir/all.txt" "$name" "$how" && continue
    [[ $how == remove || $name == fonts/*.png ]] && masked "$name" && continue
    problem+="${problem:+; }$name ($how) is not named in the log"
  done
  if [[ -n $problem ]]; then
    echo "FAIL: run $run: $problem" >&2
    echo "--- standard error:" >&2
    tail -60 "$dir/stderr.txt" >&2
    echo "--- log.txt:" >&2
    cat "$dir/log.txt" >&2 2>/dev/null || true
    failures=$((failures + 1))
  fi
done
# The CPU time of the runs: the children's user and system time (times
# runs in this shell; in a pipe it would time a subshell).
times >"$work/times"
cpu=$(tail -1 "$work/times")
echo "damaged content: ${#runs[@]} runs in $(($(date +%s) - start)) s (CPU of the runs: $cpu), $failures failed (seed $seed)"
if ((failures)); then
  keep=1
  exit 1
fi
