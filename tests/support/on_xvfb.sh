#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on an X server of its own, as a desktop shows the
# windows: Xvfb on a free display (the server names the one it took), the
# xcb platform, the fonts the system has. No display needs to be given; the
# server ends with the program, and with this script however it ends.
#
# Usage: tests/support/on_xvfb.sh PROGRAM [ARGUMENT...]
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: $0 PROGRAM [ARGUMENT...]" >&2
  exit 2
fi
# A fixed screen and resolution, as the other desktop tests have. Xvfb writes
# its display number on its standard output once it accepts connections.
coproc XVFB {
  exec setpriv --pdeathsig TERM -- Xvfb -displayfd 1 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset \
    2>/dev/null
}
server=$XVFB_PID
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
# A loaded machine may take its time to start the server.
number=
if ! read -r -t 60 -u "${XVFB[0]}" number || [ -z "$number" ]; then
  echo "error: Xvfb did not come up within 60 s" >&2
  exit 1
fi
status=0
DISPLAY=":$number" QT_QPA_PLATFORM=xcb "$@" || status=$?
exit "$status"
