#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The second command: installs what is missing, builds everything, and runs the
# whole test suite headless (no display needed), in the C locale and again in
# the users' Russian one. O5_TEST_JOBS: how many tests run at once (default
# twice the processor count); O5_CMAKE_OPTIONS: see scripts/build.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${O5_BUILD_DIR:-$root/build}
echo "== scripts/test.sh: packages, build, then every test"
start=$SECONDS
"$root/scripts/install-deps.sh"
installed=$SECONDS
"$root/scripts/build.sh"
built=$SECONDS
echo "== running the tests"
# Widget tests use the offscreen platform; the end-to-end tests start the tool
# under their own X server (xvfb-run) when no display is given.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "$build"
# Most tests wait on a serial line at the heater's pace or on a timer, so more
# of them run at once than there are processors. The suite runs twice: in the
# plain C locale, and in the users' Russian one, where the C library writes
# numbers with a decimal comma and speaks Russian; a test that needs one of
# them sets it itself. Only LANG is set: the other variables are cleared so
# that it rules.
status=0
run_suite() {
  local lang=$1
  shift
  echo "== the tests under LANG=$lang"
  env -u LC_ALL -u LC_MESSAGES -u LC_NUMERIC -u LC_CTYPE -u LANGUAGE LANG="$lang" \
    ctest --output-on-failure --timeout 600 -j "${O5_TEST_JOBS:-$(($(nproc) * 2))}" "$@" || status=$?
}
run_suite C.UTF-8
in_c=$SECONDS
# In the Russian locale, every test of what a person sees: all but those of
# the simulator, the port's and the frame receiver's inner workings, the
# loss of the port's device and a line of noise, the reopening that says
# nothing, the kill and fuzz runs, which show no text and format no number for
# a person, and the English session, which sets its desktop's language itself.
run_suite ru_RU.UTF-8 -E '^(heatersim\.|Reconnect\.|ComPort|DeviceLoss\.|GarbageLine\.|EnglishSession\.|FrameReceiverTest\.|JournalKill\.|SettingsKillTest\.|BlackBoxFuzzReplay$|ReceiverFuzzReplay$|SettingsFuzzReplay$)' 
echo "== scripts/test.sh: packages $((installed - start)) s, build $((built - installed)) s," \
  "tests $((in_c - built)) s under C.UTF-8 and $((SECONDS - in_c)) s under ru_RU.UTF-8"
if [ "$status" -ne 0 ]; then
  cat >&2 <<MSG
error: some tests failed; they are listed above, with their output.
       The full log is $build/Testing/Temporary/LastTest.log; run one again with
           cd $build && ctest --output-on-failure -R <name>
MSG
  exit 1
fi
echo "== all tests passed"
