#!/usr/bin/env bash
# Installs what is missing, builds, starts the heater simulator on a virtual
# serial port and the tool beside it. Closing the tool stops the simulator.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${O5_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
error: no display. The tool is a desktop program and needs a graphical session.
       On a machine without one, run it under a virtual X server:
           xvfb-run -a scripts/run.sh
MSG
  exit 1
fi

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

port="${XDG_RUNTIME_DIR:-/tmp}/ortan5-heater"
log="$build/heatersim.log"
echo "== starting the heater simulator (log: $log)"
"$build/bin/ortan5-heatersim" --link "$port" 2>"$log" </dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$port" ] && break; sleep 0.1; done
[ -e "$port" ] || { echo "error: the simulator did not start; see $log" >&2; exit 1; }

cat <<MSG
== starting the tool
   Pick "$port" in the port list, then press "Откр/закр" to open it:
   the simulated heater's telemetry appears within seconds. "Пуск" starts it.
MSG
ORTAN5_EXTRA_PORTS="$port${ORTAN5_EXTRA_PORTS:+:$ORTAN5_EXTRA_PORTS}" "$build/bin/ortan5"
