#!/usr/bin/env bash
# Makes the Debian package in a build folder, installs it with apt as a user
# would, starts the installed program in a private Xvfb, finds its window and
# removes the package again.
# Usage: deb-check.sh BUILD_FOLDER
set -euo pipefail
build=$1
source "$(dirname "$0")/x11.sh"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
(cd "$build" && rm -f namewright_*.deb && cpack -G DEB >/dev/null 2>&1)
deb=$(cd "$build" && ls "$PWD"/namewright_*.deb)
# OpenCC's library is found by dpkg-shlibdeps, its data is declared.
depends=$(dpkg-deb -f "$deb" Depends)
for p in libopencc1.1 libopencc-data; do
  grep -q "$p" <<<"$depends" || { echo "deb-check: Depends lacks $p: $depends" >&2; exit 1; }
done
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
app="" XVFB_PID=""
cleanup() {
  kill $app 2>/dev/null || true
  stop_xvfb
  DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq namewright >/dev/null || true
}
trap cleanup EXIT
[ -L /usr/bin/namewright ] || { echo "deb-check: /usr/bin/namewright is not a link" >&2; exit 1; }
start_xvfb
QT_QPA_PLATFORM=xcb /usr/bin/namewright 2> >(grep -v XDG_RUNTIME_DIR >&2) &
app=$!
wait_window || { echo "deb-check: the installed program showed no window" >&2; exit 1; }
echo "deb-check: $(basename "$deb") installed with apt; its window appeared"
