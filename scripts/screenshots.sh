#!/usr/bin/env bash
# Remakes the README's pictures in doc/ under a virtual X server: the tool
# against the heater simulator, with live telemetry, the graph window and a
# black-box report.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" o5_screenshots
mkdir -p "$root/doc"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1400x900x24" \
  "${O5_BUILD_DIR:-$root/build}/bin/o5_screenshots" "$root/doc"
