#!/usr/bin/env bash
# Return in the setup dialog starts the show in the desktop mode, which plays
# with the built content: after loading, frames change over time and are
# neither black nor the loading picture; holding Escape ends it with exit
# code 0 and a log file without an "error:" line; SIGTERM ends it cleanly too.
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
"$murmur" & pid=\$!
start_show \$pid
sleep 8
import -window root early.png
sleep 8
import -window root later.png
sleep 4
kill -0 \$pid 2>/dev/null || fail "the show ended by itself"
xdotool keydown Escape
wait \$pid; rc=\$?
xdotool keyup Escape
[ \$rc -eq 0 ] || fail "exit code \$rc after Escape"
[ -f log.txt ] || fail "no log.txt"
! grep -q "error:" log.txt || fail "errors with the whole content present"
convert "$work/tmp/quellon_data/loader.jpg" -resize 1024x768! loader.png
for shot in early later; do
  mean=\$(convert \$shot.png -format '%[fx:int(1000*mean)]' info:)
  [ "\$mean" -gt 20 ] || fail "the \$shot picture is black (mean \$mean/1000)"
  away=\$(difference \$shot.png loader.png)
  [ "\$away" -gt 50 ] || fail "the \$shot picture is the loading picture (difference \$away/1000)"
done
moved=\$(difference early.png later.png)
[ "\$moved" -gt 20 ] || fail "the show stands still: the pictures 8 s apart differ by \$moved/1000"

rm -f log.txt
"$murmur" & pid=\$!
start_show \$pid
kill -TERM \$pid
wait \$pid; rc=\$?
[ \$rc -eq 0 ] || fail "exit code \$rc after SIGTERM"
[ -f log.txt ] || fail "no log.txt after SIGTERM"
echo "e2e: the show plays, changes, and ends with Escape and with SIGTERM"
INNER
timeout 170 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash inner.sh
