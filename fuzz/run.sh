#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer + AddressSanitizer) into
# build-fuzz/ and runs each for SECONDS (default 60), starting from the seeds
# in fuzz/corpus/. New inputs go to a scratch corpus under /tmp; crashes are
# written to the current folder as crash-* files.
#
#   fuzz/run.sh [SECONDS] [TARGET...]     TARGET: Mp3Tags, PatternReplace, DateTaken
#
# The committed seeds stay small: one input per coverage edge, e.g.
#   build-fuzz/fuzz/fuzz_Mp3Tags -merge=1 -use_counters=0 NEW fuzz/corpus/mp3-tags SCRATCH
# and NEW replaces fuzz/corpus/mp3-tags.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(Mp3Tags PatternReplace DateTaken)
build=${QUORVANE_FUZZ_BUILD_DIR:-build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVANE_BUILD_FUZZ=ON -DQUORVANE_BUILD_GUI=OFF -DQUORVANE_BUILD_TESTS=OFF >/dev/null
for target in "${targets[@]}"; do
  cmake --build "$build" -j2 --target "fuzz_$target" >/dev/null
done

declare -A seeds=([Mp3Tags]=mp3-tags [PatternReplace]=pattern-replace [DateTaken]=date-taken)
for target in "${targets[@]}"; do
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-fuzz-$target.XXXXXX")
  cp fuzz/corpus/"${seeds[$target]}"/* "$scratch"/
  echo "== fuzz_$target for ${seconds}s (corpus $scratch)"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -print_final_stats=1 "$scratch"
done
