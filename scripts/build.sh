#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds the project in build/ (or $O5_BUILD_DIR): the given
# targets, or everything (the tool, the simulator, the tests and the
# benchmarks) when none is given. $O5_CMAKE_OPTIONS holds further options for
# CMake, separated by blanks (CI: -DO5_LINE_TABLES=ON -DO5_BENCH=COMPILE).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${O5_BUILD_DIR:-$root/build}
read -r -a options <<<"${O5_CMAKE_OPTIONS:-}"
targets=()
for t in "$@"; do targets+=(--target "$t"); done
echo "== building ${*:-everything} in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${O5_BUILD_TYPE:-RelWithDebInfo}" "${options[@]}" >/dev/null ||
  { echo "error: configuring the build failed; CMake's messages are above" >&2; exit 1; }
cmake --build "$build" -j "$(nproc)" "${targets[@]}" ||
  { echo "error: the build failed; the compiler's messages are above" >&2; exit 1; }
