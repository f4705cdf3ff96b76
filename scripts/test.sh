#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, the end-to-end tests
# on a virtual display included. Further arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh "$@"
cd "${QUORVANE_BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600
