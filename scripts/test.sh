#!/usr/bin/env bash
# The second command: installs what is missing, builds everything, and runs the
# whole test suite headless (no display needed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${O5_BUILD_DIR:-$root/build}
echo "== scripts/test.sh: packages, build, then every test"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
echo "== running the tests"
# Widget tests use the offscreen platform; the end-to-end tests start the tool
# under their own X server (xvfb-run) when no display is given.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "$build"
if ! ctest --output-on-failure --timeout 600 -j "$(nproc)"; then
  cat >&2 <<MSG
error: some tests failed; they are listed above, with their output.
       The full log is $build/Testing/Temporary/LastTest.log; run one again with
           cd $build && ctest --output-on-failure -R <name>
MSG
  exit 1
fi
echo "== all tests passed"
