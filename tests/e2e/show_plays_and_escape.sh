#!/usr/bin/env bash
# Return in the setup dialog starts the show in the desktop mode, which plays
# with the built content: after loading, frames change over time and are
# neither black nor the loading picture; holding Escape ends it with exit
# code 0 and a log file that says where the data was unpacked and has no
# "error:" line; SIGTERM ends it cleanly too.
set -euo pipefail
murmur=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir tmp

cat > inner.sh <<INNER
set -u
source "$here/lib.sh"
export TMPDIR="$work/tmp"
export SDL_AUDIODRIVER=dummy
# is_playing FILE: the picture is neither black nor the loading picture.
is_playing() {
  [ "\$(convert "\$1" -format '%[fx:int(1000*mean)]' info:)" -gt 20 ] &&
    [ "\$(difference "\$1" loader.png)" -gt 50 ]
}
"$murmur" & pid=\$!
start_show \$pid
convert "$work/tmp/quellon_data/loader.jpg" -resize 1024x768! loader.png
# Loading takes a while on a busy machine: wait for the show's own picture.
for _ in \$(seq 1 240); do
  import -window root early.png
  is_playing early.png && break
  kill -0 \$pid 2>/dev/null || fail "the show ended while loading"
  sleep 0.5
done
is_playing early.png || fail "the picture never left the loading screen (or black) in 2 minutes"
# The show moves on: wait for a clearly different picture.
for _ in \$(seq 1 60); do
  sleep 0.5
  import -window root later.png
  [ "\$(difference early.png later.png)" -gt 20 ] && break
done
kill -0 \$pid 2>/dev/null || fail "the show ended by itself"
xdotool keydown Escape
wait \$pid; rc=\$?
xdotool keyup Escape
[ \$rc -eq 0 ] || fail "exit code \$rc after Escape"
[ -f log.txt ] || fail "no log.txt"
! grep -q "error:" log.txt || fail "errors with the whole content present"
grep -Eq "the data archive .*demodat was unpacked into $work/tmp/quellon_data/: [1-9][0-9]* entries written, 0 refused, 0 damaged, 0 failed\$" log.txt ||
  fail "log.txt does not say what the unpacking did"
is_playing later.png || fail "the later picture is black or the loading picture"
moved=\$(difference early.png later.png)
[ "\$moved" -gt 20 ] || fail "the show stands still: after 30 s the pictures differ by only \$moved/1000"

rm -f log.txt
"$murmur" & pid=\$!
start_show \$pid
kill -TERM \$pid
wait \$pid; rc=\$?
[ \$rc -eq 0 ] || fail "exit code \$rc after SIGTERM"
[ -f log.txt ] || fail "no log.txt after SIGTERM"
echo "e2e: the show plays, changes, and ends with Escape and with SIGTERM"
INNER
timeout 230 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash inner.sh
