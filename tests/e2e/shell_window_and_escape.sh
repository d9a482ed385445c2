#!/usr/bin/env bash
# murmur opens its window in the desktop mode and clears it; holding Escape
# ends it with exit code 0 and a log file; SIGTERM ends it cleanly too.
set -euo pipefail
murmur=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

cat > inner.sh <<INNER
set -u
source "$here/lib.sh"
"$murmur" & pid=\$!
wait_for_window "Murmur :: by Quellon" \$pid || fail "no window appeared"
sleep 1
import -window root shot.png
xdotool keydown Escape
wait \$pid; rc=\$?
xdotool keyup Escape
[ \$rc -eq 0 ] || fail "exit code \$rc after Escape"
[ -f log.txt ] || fail "no log.txt"
read -r r g b < <(pixel_at shot.png 40 40)
near \$r 20 && near \$g 26 && near \$b 71 || fail "screen shows \$r \$g \$b, not the clear colour"

rm -f log.txt
"$murmur" & pid=\$!
wait_for_window "Murmur :: by Quellon" \$pid || fail "no window on the second run"
kill -TERM \$pid
wait \$pid; rc=\$?
[ \$rc -eq 0 ] || fail "exit code \$rc after SIGTERM"
[ -f log.txt ] || fail "no log.txt after SIGTERM"
echo "e2e: window, clear colour, Escape and SIGTERM all fine"
INNER
timeout 150 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash inner.sh
