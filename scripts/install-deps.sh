#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# Runs apt-get only when something is missing.
set -euo pipefail

packages=(
  # building
  cmake g++ make ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
  libgtest-dev libgmock-dev
  # ID3v2 tags and regular expressions
  libtag1-dev libpcre2-dev
  # the run history
  libsqlite3-dev
  # Unicode normalization of names
  libutf8proc-dev
  # the tests: attributes, immutable folders, a locale with a decimal comma,
  # the reference tools of the benchmarks, the style check
  attr e2fsprogs locales-all rename clang-format clang-tidy
  # reading our trash entries back as the desktop's trash tools do
  trash-cli
  # the end-to-end tests: an X server, D-Bus and the accessibility bus, the
  # AT-SPI bindings of Debian's python3, X input, screenshots and fonts
  xvfb xauth dbus at-spi2-core python3 python3-gi python3-pyatspi gir1.2-atspi-2.0
  xdotool imagemagick fonts-dejavu-core
  # MP3 files tagged at test time as the field's tools tag them
  python3-mutagen
  # the date a photo was taken; photos given EXIF dates at test time by a
  # field tool
  libexiv2-dev libimage-exiftool-perl
  # the fuzz targets (fuzz/run.sh): clang with libFuzzer
  clang libclang-rt-14-dev
  # the window's icons
  adwaita-icon-theme hicolor-icon-theme
  # checking the install tree and building the Debian package (CPack reads
  # the binary's type with file)
  desktop-file-utils appstream groff-base dpkg-dev file
  # the floating panels under a real window manager, its stacking read with xprop
  openbox x11-utils
  # hostile names on FAT, exFAT and NTFS volumes mounted through FUSE
  fuse3 fusefat dosfstools exfat-fuse exfatprogs ntfs-3g
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
