#!/usr/bin/env bash
# Makes the Debian package in a build folder, checks it with lintian and
# AppStream's validators, installs it with apt as a user would, starts the installed program in a private Xvfb, finds its window and
# removes the package again.
# Usage: deb-check.sh BUILD_FOLDER
set -euo pipefail
build=$1
source "$(dirname "$0")/x11.sh"
# Installing ours would replace a package the user installed, and removing it
# afterwards would take theirs away: the check stands aside.
if dpkg-query -W -f='${Status}' namewright 2>/dev/null | grep -q "install ok installed"; then
  echo "deb-check: skipped: a namewright package is installed on this machine" \
       "($(dpkg-query -W -f='${Version}' namewright)); the check would replace and remove it"
  exit 0
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
deb=$("$(dirname "$0")/make-deb.sh" "$build")
# Debian's own checks: no lintian error or warning; the metainfo valid.
lintian --fail-on error,warning "$deb" 2> >(grep -v "root privileges" >&2) >&2 ||
  { echo "deb-check: lintian found errors or warnings" >&2; exit 1; }
appstreamcli validate --pedantic --no-net "$(dirname "$0")/../packaging/org.namewright.namewright.metainfo.xml" >&2 ||
  { echo "deb-check: appstreamcli found a problem" >&2; exit 1; }
appstream-util validate-relax --nonet "$(dirname "$0")/../packaging/org.namewright.namewright.metainfo.xml" >/dev/null ||
  { echo "deb-check: appstream-util found a problem" >&2; exit 1; }
# OpenCC's library and the media module's (exiv2, libheif, TagLib, FFmpeg)
# are found by dpkg-shlibdeps, OpenCC's data is declared.
depends=$(dpkg-deb -f "$deb" Depends)
for p in libopencc1.1 libopencc-data libexiv2-27 libheif1 libtag1v5 libavformat59; do
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
# Options answer on a console, with no display at all.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= /usr/bin/namewright --help | grep -q "用法" ||
  { echo "deb-check: --help did not answer without a display" >&2; exit 1; }
set +e
env -u DISPLAY QT_QPA_PLATFORM= /usr/bin/namewright --no-such-option 2>/dev/null
rc=$?
set -e
[ $rc -eq 2 ] || { echo "deb-check: an unknown option gave $rc, not 2" >&2; exit 1; }
desktop-file-validate /usr/share/applications/org.namewright.namewright.desktop >&2 ||
  { echo "deb-check: the desktop file is not valid" >&2; exit 1; }
[ -f /usr/share/kio/servicemenus/namewright.desktop ] ||
  { echo "deb-check: Dolphin's service menu is missing" >&2; exit 1; }
# Started as the desktop file says, with a folder.
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/org.namewright.namewright.desktop)
start_xvfb
folder=$(mktemp -d /tmp/namewright-deb-XXXXXX)
trap 'cleanup; rmdir "$folder"' EXIT
QT_QPA_PLATFORM=xcb ${exec_line/\%U/$folder} 2> >(grep -v XDG_RUNTIME_DIR >&2) &
app=$!
wait_window || { echo "deb-check: the installed program showed no window" >&2; exit 1; }
# Its icon is on the window, for the title bar and the task bar. Qt may set
# it a moment after the window is mapped: asked again until it is there, for
# up to ten seconds.
icon=""
for _ in $(seq 100); do
  if xprop -id "$WIN" _NET_WM_ICON 2>/dev/null | grep -q "Icon (32 x 32)"; then
    icon=yes
    break
  fi
  sleep 0.1
done
[ -n "$icon" ] ||
  { echo "deb-check: the window has no 32-pixel icon (_NET_WM_ICON) after 10 s" >&2; exit 1; }
echo "deb-check: $(basename "$deb") installed with apt; its window appeared"
