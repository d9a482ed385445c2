#!/usr/bin/env bash
# The show as a user installs it: CPack makes the Debian package and the
# tarball from the build; the package's control fields and file list are as
# intended and it has no maintainer scripts (removing it leaves nothing
# behind). Each, unpacked into a fresh folder (the package with dpkg -x),
# renders a frame headless with its own murmur-capture and installed data,
# and its launcher starts the show from the user's state folder: log.txt and
# the dialog's picture land there, and nothing is written into the install
# tree.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
e2e=$(cd "$here/../e2e" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/packages/murmur_*_amd64.deb)
tarballs=("$work"/packages/murmur-*-Linux-x86_64.tar.gz)
[ -f "${debs[0]}" ] || fail "no murmur_VERSION_amd64.deb in: $(ls "$work/packages")"
[ -f "${tarballs[0]}" ] || fail "no murmur-VERSION-Linux-x86_64.tar.gz in: $(ls "$work/packages")"
deb=${debs[0]}
tarball=${tarballs[0]}
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "murmur_${version}_amd64.deb" ] || fail "the package is named $(basename "$deb")"
[ "$(basename "$tarball")" = "murmur-${version}-Linux-x86_64.tar.gz" ] || fail "the tarball is named $(basename "$tarball")"

# The control fields; the dependencies come from the libraries the programs
# link.
[ "$(dpkg-deb -f "$deb" Package)" = murmur ] || fail "Package: $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "Architecture: $(dpkg-deb -f "$deb" Architecture)"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "Section: $(dpkg-deb -f "$deb" Section)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libsdl2-2.0-0 libgtk-3-0 libglew libmpg123-0 libavcodec libavformat libswscale libpng16-16 \
  libjpeg62-turbo libtinyxml2 libminizip1 fonts-dejavu-core; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no Description"
dpkg-deb -e "$deb" "$work/control"
[ "$(cd "$work/control" && ls | grep -v -x -e control -e md5sums || true)" = "" ] ||
  fail "maintainer scripts in the package: $(ls "$work/control")"

# The files: the programs and their data in lib/murmur, launchers in bin, the
# menu entry, the icon and the manual pages; not the content authoring tools.
expected="./usr/bin/murmur
./usr/bin/murmur-capture
./usr/bin/murmur-inspect
./usr/lib/murmur/demodat
./usr/lib/murmur/murmur
./usr/lib/murmur/murmur-capture
./usr/lib/murmur/murmur-inspect
./usr/lib/murmur/setup.jpg
./usr/share/applications/murmur.desktop
./usr/share/icons/hicolor/256x256/apps/murmur.png
./usr/share/man/man1/murmur-capture.1
./usr/share/man/man1/murmur-inspect.1
./usr/share/man/man6/murmur.6"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
[ "$files" = "$expected" ] || fail "the package holds: $files"
tarred=$(tar tzf "$tarball" | grep -v '/$' | sed 's|^[^/]*/|./usr/|' | sort)
[ "$tarred" = "$expected" ] || fail "the tarball holds: $tarred"

# The menu entry names the program and the icon it installs.
desktop=$(dpkg-deb --fsys-tarfile "$deb" | tar xO ./usr/share/applications/murmur.desktop)
for line in "Name=Murmur" "Exec=murmur" "Icon=murmur" "Type=Application"; do
  grep -qx "$line" <<<"$desktop" || fail "murmur.desktop lacks $line"
done
echo "$desktop" >"$work/murmur.desktop"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$work/murmur.desktop" || fail "murmur.desktop is not a valid desktop entry"
fi

# A tree's contents with sizes and times, to see that running it writes
# nothing into it.
snapshot() { (cd "$1" && find . -printf '%p %s %T@\n' | sort); }

# Runs an installed tree at PREFIX (holding bin/, lib/, share/): a frame
# from its murmur-capture, then its launcher up to the setup dialog, quit
# with Escape.
try_tree() {
  local prefix=$1 name=$2
  local before
  before=$(snapshot "$prefix")
  mkdir -p "$work/$name/tmp" "$work/$name/run" "$work/$name/home"
  (cd "$work/$name/run" &&
    TMPDIR="$work/$name/tmp" "$prefix/bin/murmur-capture" --size 160x90 --fps 10 --at 2 --out "$work/$name/pictures" \
      >"$work/$name/capture.log" 2>&1) || { cat "$work/$name/capture.log" >&2; fail "$name: murmur-capture failed"; }
  local picture="$work/$name/pictures/frame-0002.000.png"
  [ -f "$picture" ] || fail "$name: no picture"
  local mean
  mean=$(convert "$picture" -colorspace gray -format '%[fx:int(1000*mean)]' info:)
  ((mean > 40)) || fail "$name: the picture at 2 s is black ($mean)"
  [ -d "$work/$name/tmp/quellon_data" ] || fail "$name: the data was not unpacked into \$TMPDIR"

  # The launcher, from a folder of no importance, with the state folder
  # given (XDG_STATE_HOME) and without it (under ~/.local/state).
  cat >"$work/$name/inner.sh" <<INNER
set -u
source "$e2e/lib.sh"
export TMPDIR="$work/$name/tmp"
cd "$work/$name/run"
for state in given home; do
  if [ \$state = given ]; then
    XDG_STATE_HOME="$work/$name/state" HOME="$work/$name/home" "$prefix/bin/murmur" & pid=\$!
  else
    env -u XDG_STATE_HOME HOME="$work/$name/home" "$prefix/bin/murmur" & pid=\$!
  fi
  wait_for_dialog \$pid || fail "no setup dialog from the launcher (\$state)"
  sleep 0.3
  xdotool key Escape
  wait \$pid; rc=\$?
  [ \$rc -eq 0 ] || fail "exit code \$rc after Escape (\$state)"
done
INNER
  timeout 120 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$work/$name/inner.sh" ||
    fail "$name: the launcher"
  for state in "$work/$name/state/murmur" "$work/$name/home/.local/state/murmur"; do
    [ -f "$state/log.txt" ] || fail "$name: no log.txt in $state"
    cmp -s "$state/setup.jpg" "$prefix/lib/murmur/setup.jpg" || fail "$name: no setup.jpg in $state"
  done
  [ ! -e "$work/$name/run/setup.jpg" ] || fail "$name: the launcher left setup.jpg where it was started"
  [ "$(snapshot "$prefix")" = "$before" ] || fail "$name: running it wrote into the install tree"
}

dpkg -x "$deb" "$work/root"
try_tree "$work/root/usr" package
mkdir "$work/unpacked"
tar xzf "$tarball" -C "$work/unpacked"
try_tree "$work/unpacked/murmur-$version-Linux-x86_64" tarball
echo "package and tarball: fine"
