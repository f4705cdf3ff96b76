#!/usr/bin/env bash
# Hostile names (accents, FAT's refused characters, invalid UTF-8, control
# bytes...) renamed on ext4, tmpfs and FAT, exFAT and NTFS volumes mounted
# through FUSE from image files, by check_hostile_names: no file may be lost
# on any of them. Mounting needs root and /dev/fuse; without them the check
# is skipped (exit 77). A file system whose tools are missing is left out.
#
#   tests/install/fuse_check.sh path/to/check_hostile_names
set -uo pipefail
check=${1:?usage: $0 path/to/check_hostile_names}
if [[ $(id -u) -ne 0 || ! -c /dev/fuse ]]; then
  echo "skipped: needs root and /dev/fuse to mount the volumes"
  exit 77
fi
work=$(mktemp -d)
mounted=()
loops=()
cleanup() {
  for m in "${mounted[@]}"; do
    fusermount -u "$m" 2> /dev/null || umount "$m" 2> /dev/null
  done
  for l in "${loops[@]}"; do losetup -d "$l" 2> /dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

have() { command -v "$1" > /dev/null; }

# mount_as NAME: makes and mounts the volume NAME at $work/NAME; false when it cannot.
mount_as() {
  local name=$1 image=$work/$1.img dir=$work/$1
  mkdir -p "$dir"
  truncate -s 64M "$image"
  case $name in
    ext4) have mkfs.ext4 && mkfs.ext4 -q "$image" && mount -o loop "$image" "$dir" ;;
    tmpfs) mount -t tmpfs -o size=16m tmpfs "$dir" ;;
    fusefat) have fusefat && have mkfs.vfat && mkfs.vfat "$image" > /dev/null &&
      fusefat -o rw+ "$image" "$dir" > /dev/null 2>&1 ;;
    exfat-fuse)
      have mount.exfat-fuse && have mkfs.exfat && mkfs.exfat "$image" > /dev/null 2>&1 || return 1
      local loop
      loop=$(losetup -f --show "$image") || return 1
      loops+=("$loop")
      mount.exfat-fuse "$loop" "$dir" > /dev/null 2>&1 ;;
    ntfs-3g) have ntfs-3g && have mkntfs && mkntfs -F -Q "$image" > /dev/null 2>&1 &&
      ntfs-3g "$image" "$dir" ;;
  esac || return 1
  mounted+=("$dir")
}

status=0
table="| file system | files | lost |"$'\n'"|---|---|---|"
for fs in ext4 tmpfs fusefat exfat-fuse ntfs-3g; do
  if ! mount_as "$fs"; then
    echo "== $fs: cannot be mounted here, left out"
    table+=$'\n'"| $fs | - | not mounted |"
    continue
  fi
  echo "== $fs"
  output=$("$check" "$work/$fs") || status=1
  echo "$output"
  summary=$(grep '^files ' <<< "$output")
  files=$(awk '{print $2}' <<< "$summary" | tr -d ,)
  lost=$(awk '{print $4}' <<< "$summary")
  table+=$'\n'"| $fs | ${files:-?} | ${lost:-?} |"
  [[ -n $lost && $lost == 0 ]] || status=1
done
echo
echo "$table"
exit $status
