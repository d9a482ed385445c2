#!/usr/bin/env bash
# Builds the show and makes what a Linux user installs, into build/packages/:
#   murmur_VERSION_amd64.deb           (install with: apt install ./murmur_VERSION_amd64.deb)
#   murmur-VERSION-Linux-x86_64.tar.gz (unpack anywhere; run bin/murmur)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install.sh"
"$root/scripts/build.sh" build
cd "$root/build"
cpack --config CPackConfig.cmake
ls -l packages/*.deb packages/*.tar.gz
