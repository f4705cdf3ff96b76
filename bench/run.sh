#!/usr/bin/env bash
# Builds the benchmarks in Release mode into their own build folder, makes the
# test trees in a temporary folder under /tmp (same file system), runs every
# benchmark (a warm-up, then the median of several runs, the reference measured
# in the same rounds on the same tree) and prints one table in Markdown.
#
# Environment (all optional):
#   QUORVANE_BENCH_BUILD_DIR  build folder              (default: build-bench)
#   QUORVANE_BENCH_RUNS       timed runs per row         (default: 5)
#   QUORVANE_BENCH_FILES      files per tree             (default: 100000)
#   QUORVANE_BENCH_BIG        folders of 1,000 files in the large tree (default: 1000;
#                             a middle tree has three tenths of them)
#   QUORVANE_BENCH_BIG_RUNS   timed runs per row on the large tree (default: 3)
#   TMPDIR                    where the trees are made   (default: /tmp)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${QUORVANE_BENCH_BUILD_DIR:-build-bench}
runs=${QUORVANE_BENCH_RUNS:-5}
files=${QUORVANE_BENCH_FILES:-100000}
big=${QUORVANE_BENCH_BIG:-1000}
bigruns=${QUORVANE_BENCH_BIG_RUNS:-3}
mp3=$((files / 10))
photos=$((files / 10))
folders=$((files / 1000))
((folders > 0)) || folders=1
mid=$((big * 3 / 10))
((mid > 0)) || mid=1

note() { printf '%s\n' "$*" >&2; }

note "== building (Release) in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQUORVANE_BUILD_BENCH=ON -DQUORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target bench_mktree bench_renameat2 bench_readdir bench_preview \
  bench_core bench_window bench_runaway >/dev/null
bin=$(cd "$build/bench" && pwd)
command -v mmv >/dev/null || note "   (mmv is not installed: its rows are left out; apt-get install mmv)"

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-bench.XXXXXX")
cleanup() {
  note "== removing $work"
  rm -rf "$work"
}
trap cleanup EXIT

note "== making trees in $work"
"$bin/bench_mktree" "$work/flat" 0 "$files"
"$bin/bench_mktree" "$work/tree" "$folders" 1000
"$bin/bench_mktree" "$work/wide" 1000 $((files / 1000 > 0 ? files / 1000 : 1))
"$bin/bench_mktree" "$work/rename" 0 "$files"
"$bin/bench_mktree" "$work/mp3" 0 "$mp3" --mp3
"$bin/bench_mktree" "$work/mp3v2" 0 "$mp3" --mp3v2
"$bin/bench_mktree" "$work/photos" 0 "$photos" --jpeg
"$bin/bench_mktree" "$work/mid" "$mid" 1000
"$bin/bench_mktree" "$work/big" "$big" 1000

load_start=$(cut -d' ' -f1-3 /proc/loadavg)
rows="$work/rows.tsv"
: >"$rows"
bench() {
  note "== $*"
  # Qt's offscreen plugin chatters on stderr; only result lines are kept.
  QT_QPA_PLATFORM=offscreen "$@" 2>/dev/null | grep '^ROW' >>"$rows" || note "   (failed: $*)"
}
bench "$bin/bench_window" scan "$work/flat" 0 "$runs" "$bin/bench_readdir"
bench "$bin/bench_core" scan "$work/flat" "$runs" 0 "$bin/bench_readdir"
bench "$bin/bench_window" scan "$work/tree" 1 "$runs" "$bin/bench_readdir"
bench "$bin/bench_core" scan "$work/tree" "$runs" 1 "$bin/bench_readdir"
bench "$bin/bench_window" busy "$work/flat" "$runs" "$bin/bench_readdir"
bench "$bin/bench_preview" "$files" "$runs"
bench "$bin/bench_core" sort "$work/flat" "$runs"
bench "$bin/bench_core" plan "$work/flat" "$runs" 0
bench "$bin/bench_core" plan "$work/wide" "$runs" 1
bench "$bin/bench_core" rename "$work/rename" "$runs" "$bin/bench_renameat2"
bench "$bin/bench_window" ops "$work/rename" "$runs" "$bin/bench_renameat2"
bench "$bin/bench_window" live "$work/flat" "$runs"
mkdir "$work/runaway"
bench "$bin/bench_runaway" "$work/runaway" "$runs"
bench "$bin/bench_core" mp3 "$work/mp3" "$runs"
bench "$bin/bench_window" big "$work/mid" "$bigruns" "$bin/bench_readdir"
bench "$bin/bench_window" big "$work/big" "$bigruns" "$bin/bench_readdir"
bench "$bin/bench_core" plan "$work/big" "$bigruns" 1
bench "$bin/bench_core" mp3v2 "$work/mp3v2" "$runs"
bench "$bin/bench_core" photos "$work/photos" "$runs"
bench "$bin/bench_window" memory "$work/big"

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo "Quorvane benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores ($cpu);"
echo "load average at the start: $load_start, at the end: $(cut -d' ' -f1-3 /proc/loadavg);"
echo "$runs timed runs per row after a warm-up ($bigruns on the large tree), median shown."
echo
echo "| Work | Ours | Reference | Reference time | Ratio | Budget | Verdict |"
echo "|---|---|---|---|---|---|---|"
awk -F'\t' '{ printf "| %s | %s | %s | %s | %s | %s | %s |\n", $2, $3, $4, $5, $6, $7, $8 }' "$rows"
