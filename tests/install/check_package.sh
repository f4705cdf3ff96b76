#!/usr/bin/env bash
# Builds the Debian package into a temporary folder and checks its name, that
# its Depends were read off the binary, and that it holds the installed files
# under /usr and nothing else.
#
#   tests/install/check_package.sh BUILD_DIR VERSION
set -euo pipefail
build="$(realpath "$1")"
version="$2"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" > "$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log" >&2; exit 1; }
deb="$out/quorvane_${version}_amd64.deb"
[ -f "$deb" ] || { echo "no $deb; cpack made: $(ls "$out")" >&2; exit 1; }

fail=0
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -q "\b$library (>= " <<< "$depends" || { echo "Depends lacks $library: $depends" >&2; fail=1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = quorvane ] || fail=1
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail=1

files="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for path in ./usr/bin/quorvane ./usr/share/applications/org.example.quorvane.desktop \
            ./usr/share/metainfo/org.example.quorvane.metainfo.xml \
            ./usr/share/doc/quorvane/manual/index.html ./usr/share/doc/quorvane/copyright \
            ./usr/share/doc/quorvane/changelog.gz \
            ./usr/share/man/man1/quorvane.1.gz \
            ./usr/share/kio/servicemenus/quorvane-rename.desktop \
            ./usr/share/nemo/actions/quorvane-rename.nemo_action \
            ./usr/share/icons/hicolor/scalable/apps/org.example.quorvane.svg; do
  grep -qx "$path" <<< "$files" || { echo "package lacks $path" >&2; fail=1; }
done
outside="$(grep -v -E '^\./(usr/.*)?$' <<< "$files" || true)"
[ -z "$outside" ] || { echo "files outside /usr: $outside" >&2; fail=1; }
# The binary is owned by root and executable, as dpkg installs it.
dpkg-deb -c "$deb" | grep ' ./usr/bin/quorvane$' | grep -q '^-rwxr-xr-x root/root' ||
  { echo "the binary is not root-owned 0755" >&2; fail=1; }

[ "$fail" = 0 ] && echo "$(basename "$deb"): Depends: $depends"
exit "$fail"
