#!/usr/bin/env bash
# The setup dialog: centred, its picture upright; Escape, Quit (clicked, or
# Return while it has the focus) and Alt+F4 end the program with exit code 0
# before anything is unpacked. Without its picture the dialog still starts
# the show with Return from the mode list; the archive is unpacked into
# $TMPDIR, and Alt+F4 does not end the show. Where no folder can be made in
# $TMPDIR, Start ends the program with exit code 1 and says why in log.txt.
set -euo pipefail
murmur=$(realpath "$1")
picture=$(dirname "$murmur")/setup.jpg
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir tmp with_picture without_picture
cp "$picture" with_picture/

cat > inner.sh <<INNER
set -u
source "$here/lib.sh"
export TMPDIR="$work/tmp"
nothing_unpacked() { [ -z "\$(ls -A "$work/tmp")" ] || fail "\$1 unpacked: \$(ls -A "$work/tmp")"; }
show_windows() { xdotool search --name "Murmur :: by Quellon" 2>/dev/null | wc -l; }

cd "$work/with_picture"
"$murmur" & pid=\$!
wait_for_dialog \$pid || fail "no setup dialog"
sleep 0.5
eval "\$(xdotool getwindowgeometry --shell \$dialog)"
[ "\$WIDTH x \$HEIGHT" = "344 x 163" ] || fail "dialog is \$WIDTH x \$HEIGHT"
[ "\$X,\$Y" = "340,302" ] || fail "dialog at \$X,\$Y, not centred"
import -window root dialog.png
# The file's first row is shown at the bottom: dialog row y shows file row 154 - y.
for xy in "60 40" "120 70" "200 60" "300 20" "30 120"; do
  set -- \$xy
  read -r r g b < <(pixel_at dialog.png \$((340 + \$1)) \$((302 + \$2)))
  read -r fr fg fb < <(pixel_at "$picture" \$1 \$((154 - \$2)))
  near_by \$r \$fr 8 && near_by \$g \$fg 8 && near_by \$b \$fb 8 ||
    fail "dialog pixel \$1,\$2 is \$r \$g \$b; the picture's row \$((154 - \$2)) has \$fr \$fg \$fb"
done
read -r r g b < <(pixel_at dialog.png \$((340 + 300)) \$((302 + 160)))
[ "\$r \$g \$b" = "0 0 0" ] || fail "the band under the controls is \$r \$g \$b"
xdotool key Escape
wait \$pid; rc=\$?
[ \$rc -eq 0 ] || fail "exit code \$rc after Escape in the dialog"
nothing_unpacked "Escape"

# The focus starts on Start; Tab moves it on to Quit, then to the mode list.
for how in Quit Return-on-Quit Alt+F4; do
  "$murmur" & pid=\$!
  wait_for_dialog \$pid || fail "no setup dialog for \$how"
  sleep 0.3
  case \$how in
    Quit) xdotool mousemove \$((340 + 258 + 37)) \$((302 + 133 + 10)) click 1 ;;
    Return-on-Quit) xdotool key Tab Return ;;
    Alt+F4) xdotool key alt+F4 ;;
  esac
  wait \$pid; rc=\$?
  [ \$rc -eq 0 ] || fail "exit code \$rc after \$how in the dialog"
  nothing_unpacked "\$how"
done
[ "\$(show_windows)" -eq 0 ] || fail "a show window stayed open"

cd "$work/without_picture"
"$murmur" & pid=\$!
wait_for_dialog \$pid || fail "no setup dialog without the picture"
sleep 0.3
xdotool key Tab Tab Return
wait_for_window "Murmur :: by Quellon" \$pid || fail "no show window after Return from the mode list"
[ -f "$work/tmp/quellon_data/music/soundtrk.mp3" ] || fail "the archive was not unpacked into \\\$TMPDIR"
xdotool key alt+F4
sleep 1
kill -0 \$pid 2>/dev/null || fail "Alt+F4 ended the show"
xdotool keydown Escape
wait \$pid; rc=\$?
xdotool keyup Escape
[ \$rc -eq 0 ] || fail "exit code \$rc after Escape in the show"

echo "a file, not a folder" > "$work/not_a_folder"
TMPDIR="$work/not_a_folder" "$murmur" & pid=\$!
wait_for_dialog \$pid || fail "no setup dialog with an unusable \\\$TMPDIR"
sleep 0.3
xdotool key Return
wait \$pid; rc=\$?
[ \$rc -eq 1 ] || fail "exit code \$rc with no folder to unpack into"
grep -q "the show cannot start: there is no folder to unpack its data into" log.txt ||
  fail "log.txt does not say why the show did not start"
[ "\$(show_windows)" -eq 0 ] || fail "a show window opened with no data"
echo "e2e: setup dialog fine"
INNER
timeout 150 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash inner.sh
