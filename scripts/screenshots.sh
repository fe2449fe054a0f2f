#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Remakes the README's pictures in doc/ under a virtual X server: the tool
# against the heater simulator, with live telemetry, the graph window and a
# black-box report. A first argument names another folder; "--evidence" after
# it also leaves there the menus, the dialogs, the report as PDF and CSV and a
# record log charted again, for looking at (they are not README pictures).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" o5_screenshots
out=${1:-$root/doc}
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1400x900x24" \
  "${O5_BUILD_DIR:-$root/build}/bin/o5_screenshots" "$out" "${@:2}"
