#!/usr/bin/env bash
# Return in the setup dialog starts the show in the desktop mode, which
# clears the screen; holding Escape ends it with exit code 0 and a log file;
# SIGTERM ends it cleanly too.
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
"$murmur" & pid=\$!
start_show \$pid
sleep 1
import -window root shot.png
xdotool keydown Escape
wait \$pid; rc=\$?
xdotool keyup Escape
[ \$rc -eq 0 ] || fail "exit code \$rc after Escape"
[ -f log.txt ] || fail "no log.txt"
for xy in "40 40" "1000 740"; do
  read -r r g b < <(pixel_at shot.png \$xy)
  near \$r 20 && near \$g 26 && near \$b 71 || fail "screen shows \$r \$g \$b at \$xy, not the clear colour"
done

rm -f log.txt
"$murmur" & pid=\$!
start_show \$pid
kill -TERM \$pid
wait \$pid; rc=\$?
[ \$rc -eq 0 ] || fail "exit code \$rc after SIGTERM"
[ -f log.txt ] || fail "no log.txt after SIGTERM"
echo "e2e: window, clear colour, Escape and SIGTERM all fine"
INNER
timeout 150 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash inner.sh
