#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build=${O5_BUILD_DIR:-$root/build}
echo "== running the tests"
# Widget tests use the offscreen platform; the end-to-end tests start the tool
# under their own X server (xvfb-run) when no display is given.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "$build"
ctest --output-on-failure --timeout 600 -j "$(nproc)"
