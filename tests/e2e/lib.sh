# Helpers for the end-to-end scripts, which run inside xvfb-run.

fail() {
  echo "FAIL: $*" >&2
  [ -f log.txt ] && { echo "log.txt:" >&2; cat log.txt >&2; }
  [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null
  exit 1
}

# wait_for_window TITLE PID: waits up to 60 s for a window with that title,
# as long as the process lives.
wait_for_window() {
  for _ in $(seq 1 300); do
    xdotool search --name "$1" >/dev/null 2>&1 && return 0
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

# pixel_at FILE X Y: "r g b" of one pixel of a picture.
pixel_at() {
  convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)] %[fx:int(255*p{'"$2,$3"'}.g)] %[fx:int(255*p{'"$2,$3"'}.b)]' info:
}

# near A B: whether two channel values differ by at most 2.
near() { local d=$(( $1 - $2 )); (( d >= -2 && d <= 2 )); }

# near_by A B TOLERANCE: whether two channel values differ by at most TOLERANCE.
near_by() { local d=$(( $1 - $2 )); (( d >= -$3 && d <= $3 )); }

# wait_for_dialog PID: waits up to 60 s for the setup dialog (the program's
# only visible window before the show) and puts its id into $dialog.
wait_for_dialog() {
  for _ in $(seq 1 300); do
    dialog=$(xdotool search --onlyvisible --class murmur 2>/dev/null | head -1)
    [ -n "$dialog" ] && return 0
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

# start_show PID: presses Return in the setup dialog and waits for the
# show's window.
start_show() {
  wait_for_dialog "$1" || fail "no setup dialog appeared"
  sleep 0.3
  xdotool key Return
  wait_for_window "Murmur :: by Quellon" "$1" || fail "no show window after Return in the dialog"
}

# difference A B: the root-mean-square difference of two pictures of the same
# size, in thousandths of the full range.
difference() {
  compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\([0-9.e+-]*\)).*/\1/p' |
    awk '{ printf "%d\n", $1 * 1000 }'
}
