#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The first command: installs what is missing, builds the tool and the heater
# simulator, starts the simulator on a virtual serial port and the tool beside
# it, and says which port to pick. Closing the tool stops the simulator.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${O5_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
error: no display. The tool is a desktop program and needs a graphical session:
       start this command from a terminal of your desktop, or log in with "ssh -X".
       To check that it starts on a machine without any display, run it under a
       virtual X server (scripts/install-deps.sh installs it):
           xvfb-run -a $0
MSG
  exit 1
fi

echo "== scripts/run.sh: packages, build, heater simulator, then the tool"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" ortan5 ortan5-heatersim

port="${XDG_RUNTIME_DIR:-/tmp}/ortan5-heater"
[ -n "${XDG_RUNTIME_DIR:-}" ] || port="/tmp/ortan5-heater-$(id -u)"
log="$build/heatersim.log"
echo "== starting the heater simulator on $port (its log: $log)"
"$build/bin/ortan5-heatersim" --link "$port" 2>"$log" </dev/null >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -e "$port" ] && break
  kill -0 $sim 2>/dev/null || break
  sleep 0.1
done
if [ ! -e "$port" ]; then
  echo "error: the heater simulator did not start; its log:" >&2
  cat "$log" >&2
  exit 1
fi

cat <<MSG
== starting the tool
   In its port list pick
       $port
   then press "Откр/закр" to open it: the simulated heater's telemetry appears
   within seconds. "Пуск" starts the heater, "Стоп" stops it. Closing the tool
   stops the simulator.
MSG
status=0
ORTAN5_EXTRA_PORTS="$port${ORTAN5_EXTRA_PORTS:+:$ORTAN5_EXTRA_PORTS}" "$build/bin/ortan5" || status=$?
if [ $status -ne 0 ]; then
  echo "error: the tool ended with status $status; its messages are above" >&2
  exit $status
fi
