#!/usr/bin/env bash
# Installs what is missing, builds and starts Quorvane; its arguments (a
# folder, or files) go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec "${QUORVANE_BUILD_DIR:-build}/quorvane" "$@"
