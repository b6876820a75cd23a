#!/usr/bin/env bash
# Installs what building, running and testing Namewright needs on Debian 12.
# Only what is missing is installed; run as root or with sudo available.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-l10n-tools libgl-dev libicu-dev icu-devtools python3
  libgtest-dev libgmock-dev libbenchmark-dev
  fuse3 exfat-fuse exfatprogs fusefat dosfstools mtools ntfs-3g util-linux rename
  sshfs openssh-server openssh-client procps
  xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick openbox qt6ct
  fonts-wqy-microhei fonts-noto-cjk qt6-translations-l10n
  opencc libopencc1.1 libopencc-dev libopencc-data
  libexiv2-dev libheif-dev libtag1-dev libavformat-dev libimage-exiftool-perl tzdata
  clang libclang-rt-14-dev
  dpkg-dev file desktop-file-utils lintian appstream appstream-util
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
# The sshfs tests start an sshd of their own on 127.0.0.1; the package must
# not start the system's one, listening everywhere, as it installs.
policy=/usr/sbin/policy-rc.d
made_policy=""
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
  $sudo chmod 755 "$policy"
  made_policy=1
fi
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
[ -z "$made_policy" ] || $sudo rm -f "$policy"
