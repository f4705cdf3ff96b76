#!/usr/bin/env bash
# Configures and builds into build/ (or $QUORVANE_BUILD_DIR); further
# arguments go to cmake. Uses ccache when it is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QUORVANE_BUILD_DIR:-build}
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${QUORVANE_BUILD_TYPE:-RelWithDebInfo}" \
  "${launcher[@]}" "$@"
cmake --build "$build_dir" -j2
