#!/bin/sh
# Starts the show as an installed program: from a folder of the user's own
# (the XDG state folder), where the show writes log.txt and finds the setup
# dialog's picture; the program and its data stay where they were installed,
# and the data is unpacked into $TMPDIR as always.
set -e
here=$(dirname "$(readlink -f "$0")")
program="$here/../lib/murmur"
state="${XDG_STATE_HOME:-$HOME/.local/state}/murmur"
mkdir -p "$state"
# The dialog's picture, refreshed when the installed one is newer.
if [ ! -f "$state/setup.jpg" ] || [ "$program/setup.jpg" -nt "$state/setup.jpg" ]; then
  cp "$program/setup.jpg" "$state/setup.jpg"
fi
cd "$state"
exec "$program/murmur" "$@"
