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
mkdir -p "$root/tmp/listme" && touch "$root/tmp/listme/a.txt" "$root/tmp/listme/b.txt"
# A real window on a virtual display, closed through File > Exit as a user
# would: it lists the folder given to it and writes its settings on the way out.
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  xvfb xauth xdotool > /dev/null
cat > "$root/tmp/session.sh" <<'SESSION'
#!/bin/sh
set -e
QT_QPA_PLATFORM=xcb quorvane /tmp/listme &
pid=$!
sleep 3
# Without a window manager the keyboard follows the pointer; a click on the
# status bar, clear of the floating panel, makes the window the active one.
window="$(xdotool search --sync --onlyvisible --name '^Quorvane$' | head -n 1)"
xdotool mousemove --window "$window" 40 488 click 1
xdotool key alt+f
sleep 1
xdotool key x
wait "$pid"
SESSION
chmod +x "$root/tmp/session.sh"
in_root env HOME=/root XDG_CONFIG_HOME=/tmp/config timeout 60 xvfb-run -a /tmp/session.sh
ini="$root/tmp/config/Quorvane/Options.ini"
[ -f "$ini" ] || { echo "no settings in XDG_CONFIG_HOME" >&2; exit 1; }
grep -a 'Favorite=' "$ini" | tr -d '\r'
grep -aqx 'Favorite=/tmp/listme/' <(tr -d '\r' < "$ini") || { echo "the folder argument was not listed" >&2; exit 1; }
[ ! -e "$root/usr/bin/Options.ini" ] || { echo "settings written beside the installed program" >&2; exit 1; }
echo "listed /tmp/listme, settings in \$XDG_CONFIG_HOME/Quorvane/, nothing beside /usr/bin/quorvane"

echo "== apt purge quorvane"
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q quorvane
in_root env DEBIAN_FRONTEND=noninteractive apt-get autoremove --purge -y -q > /dev/null
left=0
while read -r path; do
  [ -n "$path" ] || continue
  [ -e "$root$path" ] || continue
  if [ ! -d "$root$path" ]; then
    echo "left behind: $path" >&2
    left=1
  elif ! in_root dpkg-query -S "$path" > /dev/null 2>&1; then
    # A folder that remains must belong to some other package.
    echo "folder left behind: $path" >&2
    left=1
  fi
done < "$root/tmp/quorvane-files.txt"
if in_root dpkg-query -W quorvane > /dev/null 2>&1; then
  echo "dpkg still knows the package" >&2
  left=1
fi
[ "$left" = 0 ] && echo "removed: none of the package's files is left"
exit "$left"
