#!/usr/bin/env bash
# Installs a built package into a fresh Debian 12 root, starts the program
# there, removes the package again and checks that none of its files is left.
# Not part of the test run: it needs root, debootstrap and Debian's mirror.
#
#   tests/install/fresh_debian_check.sh PACKAGE.deb [ROOT]
#
# ROOT is made with `debootstrap --variant=minbase bookworm ROOT` when it does
# not exist yet; an existing root is reused as it is.
set -euo pipefail
deb="$(realpath "$1")"
root="${2:-/tmp/quorvane-debian12-root}"
mirror="http://deb.debian.org/debian"

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" "$mirror"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
mkdir -p "$root/proc" && mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

cp "$deb" "$root/tmp/"
name="$(basename "$deb")"
in_root apt-get update -qq
echo "== apt install ./$name"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "/tmp/$name"
echo "== dpkg -L quorvane"
in_root dpkg -L quorvane | tee "$root/tmp/quorvane-files.txt"

echo "== the program in the root"
in_root quorvane --version
mkdir -p "$root/tmp/listme" && touch "$root/tmp/listme/a.txt"
# Offscreen and stopped after a few seconds: it must start and keep running.
set +e
in_root env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=/tmp/config timeout 5 quorvane /tmp/listme
status=$?
set -e
[ "$status" = 124 ] || { echo "the program ended early with status $status" >&2; exit 1; }
echo "ran until stopped (status 124 from timeout)"
test -f "$root/tmp/config/Quorvane/Options.ini" && echo "settings written to XDG_CONFIG_HOME" || true

echo "== apt purge quorvane"
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q quorvane
in_root env DEBIAN_FRONTEND=noninteractive apt-get autoremove --purge -y -q > /dev/null
left=0
while read -r path; do
  [ -n "$path" ] || continue
  if [ -e "$root$path" ] && [ ! -d "$root$path" ]; then
    echo "left behind: $path" >&2
    left=1
  fi
  case "$path" in
    */quorvane|*/quorvane/*)
      if [ -d "$root$path" ]; then echo "folder left behind: $path" >&2; left=1; fi ;;
  esac
done < "$root/tmp/quorvane-files.txt"
if in_root dpkg-query -W quorvane > /dev/null 2>&1; then
  echo "dpkg still knows the package" >&2
  left=1
fi
[ "$left" = 0 ] && echo "removed: none of the package's files is left"
exit "$left"
