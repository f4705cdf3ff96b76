#!/usr/bin/env bash
# The command line of the real program: --help and --version answer without
# any display; `quorvane -bogus DIR` on a virtual display opens DIR instead of
# the stored folder, says one line about -bogus on stderr, and keeps DIR as the
# folder for the next start. Leaves a screenshot for a look.
#
#   tests/e2e/folder_argument.sh [BUILD_DIR] [OUT_DIR]
#
# Needs xvfb-run, xwininfo, a C compiler with the X11 headers, and ImageMagick's import.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
out="${2:-$(mktemp -d)}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail=0
complain() { echo "$*" >&2; fail=1; }

# --help and --version without a display, and without asking Qt for one.
for option in --help --version; do
  if ! env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$build/quorvane" "$option" \
        > "$work/stdout" 2> "$work/stderr"; then
    complain "$option did not exit with 0"
  fi
  [ -s "$work/stdout" ] || complain "$option printed nothing on stdout"
  [ ! -s "$work/stderr" ] || complain "$option wrote to stderr: $(cat "$work/stderr")"
done
grep -q '^Usage: quorvane \[FOLDER\]$' < <(env -u DISPLAY "$build/quorvane" --help) ||
  complain "--help shows no usage line"
grep -qx 'Quorvane [0-9][0-9.]*' < <(env -u DISPLAY "$build/quorvane" --version) ||
  complain "--version shows no version"

# A portable copy, so "Options.ini" lands beside it; the stored folder is another one.
cp "$build/quorvane" "$work/quorvane"
cc -O1 -o "$work/close_window" "$here/close_window.c" -lX11
mkdir -p "$work/stored" "$work/given folder" "$out"
touch "$work/stored/old.txt" "$work/given folder/one.txt" "$work/given folder/two.txt"
printf '[Main]\r\nFavorite=%s/stored/\r\n' "$work" > "$work/Options.ini"

cat > "$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -euo pipefail
work="$1" out="$2"
cd "$work"
QT_QPA_PLATFORM=xcb ./quorvane -bogus "given folder" > "$work/run.out" 2> "$work/run.err" &
pid=$!
for _ in $(seq 300); do
  xwininfo -name Quorvane > /dev/null 2>&1 && break
  sleep 0.1
done
xwininfo -name Quorvane > /dev/null
sleep 1 # let the scan and painting settle before the picture
import -window root "$out/folder-argument.png"
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
xvfb-run -a -s "-screen 0 1024x768x24" "$work/session.sh" "$work" "$out" || complain "the session failed"

ours="$(grep '^quorvane: ' "$work/run.err" || true)"
[ "$ours" = "quorvane: ignoring unknown option '-bogus' (see --help)" ] ||
  complain "expected one line about -bogus on stderr, got: $ours"
grep -qxF "Favorite=$work/given folder/" <(tr -d '\r' < "$work/Options.ini") ||
  complain "the given folder was not the one listed: $(grep -i favorite "$work/Options.ini")"

[ "$fail" = 0 ] && echo "help, version and the folder argument work; screenshot in $out"
exit "$fail"
