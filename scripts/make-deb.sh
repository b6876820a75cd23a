#!/usr/bin/env bash
# Makes the Debian package in a build folder, as Debian's own tools would
# finish it: cpack stages and packs the files; then the program is stripped of
# its notes and comments (as dh_strip does) and Installed-Size is counted again
# from the files (cpack's counts them twice).
# Usage: make-deb.sh BUILD_FOLDER   (prints the package's path)
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$build"
rm -f namewright_*.deb
cpack -G DEB >/dev/null 2>&1
deb=$(ls "$build"/namewright_*.deb)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -R "$deb" "$work/pkg"
strip --remove-section=.comment --remove-section=.note --strip-unneeded \
  "$work/pkg/usr/lib/namewright/namewright"
# As dpkg-gencontrol counts: each file's size in KiB rounded up, and one KiB
# for every other entry.
size=$(cd "$work/pkg" && find . -path ./DEBIAN -prune -o -print | while read -r f; do
  if [ -f "$f" ] && [ ! -L "$f" ]; then echo $(( ($(stat -c %s "$f") + 1023) / 1024 )); else echo 1; fi
done | awk '{s += $1} END {print s}')
sed -i "s/^Installed-Size: .*/Installed-Size: $size/" "$work/pkg/DEBIAN/control"
(cd "$work/pkg" && find . -path ./DEBIAN -prune -o -type f -print0 | sort -z |
  xargs -0 md5sum | sed 's| \./| |') >"$work/pkg/DEBIAN/md5sums"
rm "$deb"
dpkg-deb --root-owner-group -Zxz -b "$work/pkg" "$deb" >/dev/null
echo "$deb"
