#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Soak: the whole tool (the soak driver, o5_soak: the four windows offscreen)
# against the heater simulator for hours, at the heater's real pace (1200 baud,
# one telemetry cycle a second), with line faults throughout and, every one to
# four minutes, a heater fault, a stop and start, a silent spell or an
# unplugged adapter (back on a new device after 5 s, opened again by the
# tool's driver as a user would). The tool reads the firmware version every 5
# minutes and the black box every 30. Resident memory and processor time are
# sampled every minute.
#
# Usage: scripts/soak.sh [MINUTES]          (default 240: four hours)
# Environment:
#   O5_BUILD_DIR   build folder to take the programs from (default build/)
#   O5_SOAK_DIR    folder for the logs (default a new folder under /tmp)
#   O5_SOAK_SEED   seed of the simulator's fault dice and of the fault schedule
#   O5_SOAK_VERSION_MINUTES, O5_SOAK_BLACKBOX_MINUTES
#                  how often the tool reads the version and the black box
#
# At the end it prints the samples (minute, resident memory, processor time,
# frames decoded) and frames sent by the simulator against frames decoded by
# the tool. The logs stay in the soak folder: sim.log (every frame sent and
# received), driver.log (the samples and every error the tool showed),
# faults.log (the faults injected), and data/ with the tool's own session
# journals and readout archive.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${O5_BUILD_DIR:-$root/build}
minutes=${1:-240}
seed=${O5_SOAK_SEED:-$((RANDOM + 1))}
out=${O5_SOAK_DIR:-$(mktemp -d /tmp/o5-soak.XXXXXX)}
mkdir -p "$out"
RANDOM=$seed

sim=$build/bin/ortan5-heatersim
driver=$build/bin/o5_soak
if [[ ! -x $sim || ! -x $driver ]]; then
  echo "== building the simulator and the soak driver in $build"
  cmake --build "$build" --target ortan5-heatersim o5_soak
fi

link=$out/heater
rm -f "$out/sim.in" "$link"
mkfifo "$out/sim.in"
echo "== soak for $minutes minutes, seed $seed, logs in $out"

# Line faults at every cycle: noise before frames, frames cut short, wrong
# checksums, frames written in two pieces. An unplugged adapter comes back on
# a new device after 5 s; the link follows it.
"$sim" --link "$link" --running --seed "$seed" \
  --noise 2 --partial 1 --bad-checksum 1 --split 5 --split-gap 30 \
  --reconnect-after 5000 --exit-on-eof \
  <"$out/sim.in" >"$out/sim.out" 2>"$out/sim.log" &
simpid=$!
exec 3>"$out/sim.in"
for _ in $(seq 100); do [[ -e $link ]] && break; sleep 0.1; done

"$driver" --port "$link" --minutes "$minutes" --data "$out/data" \
  --version-every "${O5_SOAK_VERSION_MINUTES:-5}" --blackbox-every "${O5_SOAK_BLACKBOX_MINUTES:-30}" \
  >"$out/driver.log" 2>"$out/driver.err" &
driverpid=$!

cleanup() {
  kill "$driverpid" 2>/dev/null || true
  { echo quit >&3; } 2>/dev/null || true
  exec 3>&- || true
  wait "$simpid" 2>/dev/null || true
}
trap cleanup EXIT

alive() { kill -0 "$driverpid" 2>/dev/null; }
# Sleeps up to $1 seconds, less when the driver ends.
pause() {
  local left=$1
  while ((left > 0)) && alive; do
    sleep $((left < 5 ? left : 5))
    left=$((left - 5))
  done
}
fault() {
  echo "$(date +%T) $*" >>"$out/faults.log"
  echo "$*" >&3
}

started=$(date +%s)
while alive; do
  pause $((60 + RANDOM % 180))
  alive || break
  case $((RANDOM % 10)) in
    0 | 1) fault hangup ;;
    2 | 3 | 4)
      fault "fault $((RANDOM % 21 + 1))"
      pause 20
      fault "fault off"
      fault start
      ;;
    5 | 6)
      fault stop
      pause 30
      fault start
      ;;
    7) fault "silence 3000" ;;
    *) ;;
  esac
done
wait "$driverpid" || true
elapsed=$(($(date +%s) - started))
cleanup
trap - EXIT

echo "== samples (minute, resident memory MB, processor time s, valid frames decoded, records)"
grep '^SAMPLE' "$out/driver.log" | awk '{
  split($3, r, "="); split($4, c, "="); split($5, f, "="); split($9, k, "=");
  printf "%7.1f %8.1f %9.2f %9d %8d\n", $2, r[2] / 1024, c[2], f[2], k[2] }'

echo "== summary"
summary=$(grep '^SUMMARY' "$out/driver.log" || true)
echo "tool: ${summary:-no summary: the driver did not finish}"
echo "errors shown by the tool: $(grep -c '^ERROR' "$out/driver.log" || true)"
grep '^ERROR' "$out/driver.log" | cut -d' ' -f3- | sort | uniq -c | sed 's/^/  /' || true
awk 'BEGIN { for (i = 0; i < 256; i++) hex[sprintf("%02X", i)] = i }
  $2 == "TX" && NF == 12 {
    s = 0; for (i = 3; i <= 11; i++) s += hex[$i]
    kind = ($4 == "00") ? "telemetry" : "replies"
    if (s % 256 == hex[$12]) valid[kind]++; else bad[kind]++
  }
  $2 == "TX-PARTIAL" { cut++ }
  $2 == "TX-LOST" { lost++ }
  $2 == "RX" { rx++ }
  $2 == "FAULT" && $3 == "hangup:" { hangups++ }
  END {
    printf "simulator: telemetry frames sent whole %d (valid %d, wrong checksum %d), replies %d, frames cut short %d, frames the device did not take %d, requests received %d, hang-ups %d\n",
      valid["telemetry"] + bad["telemetry"], valid["telemetry"], bad["telemetry"], valid["replies"] + bad["replies"], cut, lost, rx, hangups
  }' "$out/sim.log"
if [[ -n $summary ]]; then
  decoded=$(sed -n 's/.* telemetry=\([0-9]*\).*/\1/p' <<<"$summary")
  sent=$(awk 'BEGIN { for (i = 0; i < 256; i++) hex[sprintf("%02X", i)] = i }
    $2 == "TX" && NF == 12 && $4 == "00" { s = 0; for (i = 3; i <= 11; i++) s += hex[$i]; if (s % 256 == hex[$12]) n++ }
    END { print n + 0 }' "$out/sim.log")
  echo "valid telemetry frames: sent $sent, decoded $decoded, not decoded $((sent - decoded))" \
    "(a frame cut short takes the start of the next one with it)"
fi
echo "soak time: $((elapsed / 60)) min $((elapsed % 60)) s; logs in $out"
