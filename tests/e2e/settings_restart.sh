#!/usr/bin/env bash
# Starts Quorvane twice on a virtual display with a changed "Options.ini" in
# between and checks that the second start shows, and saves again, the changed
# page, panel and rule settings. Leaves two screenshots for a look.
#
#   tests/e2e/settings_restart.sh [BUILD_DIR] [OUT_DIR]
#
# Needs xvfb-run, a C compiler with the X11 headers, and ImageMagick's import.
set -euo pipefail
# A real window on the virtual display, whatever platform the other tests use.
export QT_QPA_PLATFORM=xcb

here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
out="${2:-$(mktemp -d)}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A portable copy: its folder is writable, so "Options.ini" lands beside it.
cp "$build/quorvane" "$work/quorvane"
cc -O1 -o "$work/close_window" "$here/close_window.c" -lX11
mkdir -p "$work/files" "$out"
touch "$work/files/alpha.txt" "$work/files/beta.txt" "$work/files/gamma.log"

cat > "$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -euo pipefail
work="$1" out="$2" shot="$3"
"$work/quorvane" > "$work/run.log" 2>&1 &
pid=$!
for _ in $(seq 300); do
  xwininfo -name Quorvane > /dev/null 2>&1 && break
  sleep 0.1
done
xwininfo -name Quorvane > /dev/null
sleep 1 # let the first scan and painting settle before the picture
import -window root "$out/$shot"
"$work/close_window" Quorvane
for _ in $(seq 300); do
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2> /dev/null; then
  kill "$pid"
  echo "the window did not close" >&2
  exit 1
fi
wait "$pid"
SESSION
chmod +x "$work/session.sh"

run() { xvfb-run -a -s "-screen 0 1024x768x24" "$work/session.sh" "$work" "$out" "$1"; }

run first-start.png
ini="$work/Options.ini"
test -f "$ini" || { echo "no Options.ini after the first run" >&2; exit 1; }

# The changes: Replace page with its texts, the path box hidden, a restored
# folder with a filter, subfolders ticked, upper-case extension.
set_key() { sed -i "s|^$1=.*|$1=$2|" "$ini"; }
set_key ActiveIndex 3
set_key sourceStr alpha
set_key targetStr omega
set_key AllSub 1
set_key FavoriteVisible 0
set_key Favorite "$work/files/"
set_key Filter '*.txt'
set_key IncludeSub 1
set_key RB1 0
set_key RB3 1
cp "$ini" "$out/Options-edited.ini"

run second-start.png
cp "$ini" "$out/Options-after.ini"

# The second run read the changes and wrote them back at its end.
fail=0
for expect in "ActiveIndex=3" "sourceStr=alpha" "targetStr=omega" "AllSub=1" \
              "FavoriteVisible=0" "Favorite=$work/files/" "Filter=*.txt" "IncludeSub=1" \
              "RB1=0" "RB3=1"; do
  grep -qxF "$expect" <(tr -d '\r' < "$ini") || { echo "missing after restart: $expect" >&2; fail=1; }
done
[ "$fail" = 0 ] && echo "settings survived the restart; screenshots in $out"
exit "$fail"
