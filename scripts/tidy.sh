#!/usr/bin/env bash
# clang-tidy over the core's sources with the checks of .clang-tidy, whose
# findings are errors. Needs only a configured compile database, no build.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QUORVANE_TIDY_DIR:-build-tidy}
cmake -S . -B "$build_dir" -G Ninja -DQUORVANE_BUILD_GUI=OFF -DQUORVANE_BUILD_TESTS=OFF \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null
mapfile -t sources < <(find src/text src/platform src/rules src/settings src/mp3 src/filelist \
  src/planner src/photo src/runs src/history -name '*.cpp' | sort)
run-clang-tidy -quiet -j "$(nproc)" -p "$build_dir" "${sources[@]}" > "$build_dir/tidy.log" 2>&1 ||
  {
    grep -E 'error:|warning:' "$build_dir/tidy.log" | sort -u
    echo "clang-tidy found the lines above (full output: $build_dir/tidy.log)"
    exit 1
  }
echo "clang-tidy passed: ${#sources[@]} core sources"
