#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there: the
# list of files, the desktop file and the AppStream data through their
# validators, the icon sizes, the manual page and the manual's own links.
#
#   tests/install/check_install.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
id=org.example.quorvane

cmake --install "$build" --prefix "$prefix" > /dev/null
fail=0
complain() { echo "$*" >&2; fail=1; }

expected="bin/quorvane
share/applications/$id.desktop
share/doc/quorvane/changelog.gz
share/doc/quorvane/copyright
share/doc/quorvane/manual/icon.png
share/doc/quorvane/manual/index.html
share/doc/quorvane/manual/style.css
share/doc/quorvane/manual/window.png
share/icons/hicolor/128x128/apps/$id.png
share/icons/hicolor/16x16/apps/$id.png
share/icons/hicolor/22x22/apps/$id.png
share/icons/hicolor/24x24/apps/$id.png
share/icons/hicolor/256x256/apps/$id.png
share/icons/hicolor/32x32/apps/$id.png
share/icons/hicolor/48x48/apps/$id.png
share/icons/hicolor/64x64/apps/$id.png
share/icons/hicolor/scalable/apps/$id.svg
share/kio/servicemenus/quorvane-rename.desktop
share/man/man1/quorvane.1.gz
share/metainfo/$id.metainfo.xml
share/nemo/actions/quorvane-rename.nemo_action"
actual="$(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort)"
if [ "$actual" != "$(LC_ALL=C sort <<< "$expected")" ]; then
  complain "installed files differ from the expected list:"
  diff <(LC_ALL=C sort <<< "$expected") <(echo "$actual") >&2 || true
fi

# The validators must say nothing at all: no error, no warning, no hint.
out="$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1)" || complain "desktop-file-validate failed"
[ -z "$out" ] || complain "desktop-file-validate: $out"
grep -qx 'MimeType=inode/directory;' "$prefix/share/applications/$id.desktop" || complain "no MimeType=inode/directory"
grep -qx 'Exec=quorvane -- %F' "$prefix/share/applications/$id.desktop" || complain "Exec does not pass the files"
# "Rename with Quorvane" for a selection of files and folders.
menu="$prefix/share/kio/servicemenus/quorvane-rename.desktop"
out="$(desktop-file-validate "$menu" 2>&1)" || complain "desktop-file-validate failed on the service menu"
[ -z "$out" ] || complain "desktop-file-validate: $out"
grep -qx 'MimeType=application/octet-stream;inode/directory;' "$menu" || complain "the service menu is not for files and folders"
for entry in "$menu" "$prefix/share/nemo/actions/quorvane-rename.nemo_action"; do
  grep -qx 'Name=Rename with Quorvane' "$entry" || complain "$entry: no \"Rename with Quorvane\""
  grep -qx 'Exec=quorvane -- %F' "$entry" || complain "$entry: Exec does not pass the files"
done
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || complain "Icon is not $id"
out="$(appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" 2>&1)" || complain "appstreamcli validate failed: $out"
grep -q 'Validation was successful\.$' <<< "$out" || complain "appstreamcli: $out"

for png in "$prefix"/share/icons/hicolor/*x*/apps/$id.png; do
  size="$(basename "$(dirname "$(dirname "$png")")")"
  got="$(identify -format '%wx%h' "$png")"
  [ "$got" = "$size" ] || complain "$png is $got, not $size"
done

man_warnings="$(zcat "$prefix/share/man/man1/quorvane.1.gz" | groff -man -ww -z 2>&1)"
[ -z "$man_warnings" ] || complain "groff: $man_warnings"
zcat "$prefix/share/man/man1/quorvane.1.gz" | grep -q '^\.SH SYNOPSIS' || complain "man page has no synopsis"

# Every link of the manual points at an anchor or a file that exists.
manual="$prefix/share/doc/quorvane/manual"
while read -r target; do
  case "$target" in
    http*|mailto:*) ;;
    \#*) grep -q "id=\"${target#\#}\"" "$manual/index.html" || complain "manual: no anchor $target" ;;
    *) [ -e "$manual/${target%%#*}" ] || complain "manual: no file $target" ;;
  esac
done < <(grep -o -E '(href|src)="[^"]*"' "$manual/index.html" | sed -E 's/^[a-z]+="//; s/"$//')

[ "$fail" = 0 ] && echo "install tree, validators, icons, man page and manual links: all clean"
exit "$fail"
