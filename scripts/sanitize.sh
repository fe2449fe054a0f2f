#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer,
# and the end-to-end tests under Valgrind's memcheck.
#
# Usage: scripts/sanitize.sh [asan | valgrind | all]      (default all)
#   asan      configures build-asan/ with clang, -DO5_SANITIZE=ON and
#             -DO5_FUZZ=ON, builds everything and runs the whole suite there,
#             the short fixed-seed libFuzzer runs included; any sanitizer
#             report fails it
#   valgrind  builds the end-to-end tests in the normal build folder and runs
#             them under memcheck, one share of them per processor at once:
#             no errors and no definite leaks allowed
# Environment:
#   O5_ASAN_BUILD_DIR  sanitizer build folder (default build-asan/)
#   O5_BUILD_DIR       normal build folder for the Valgrind run (default build/)
#   O5_ASAN_CXX        compiler for a fresh sanitizer build (default clang++;
#                      with g++ the libFuzzer programs are left out)
#   O5_JOBS            parallel build jobs (default: the processor count)
#   O5_TEST_JOBS       tests run at once (default: twice the processor count;
#                      most tests wait on the line or on timers)
#   O5_CMAKE_OPTIONS   further CMake options for both builds, separated by
#                      blanks (CI: -DO5_LINE_TABLES=ON -DO5_BENCH=COMPILE)
#   O5_SYMBOLIZER      the symbolizer of the sanitizer reports (default
#                      /usr/lib/llvm-14/bin/llvm-symbolizer, package llvm-14)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
asan_build=${O5_ASAN_BUILD_DIR:-$root/build-asan}
build=${O5_BUILD_DIR:-$root/build}
jobs=${O5_JOBS:-$(nproc)}
test_jobs=${O5_TEST_JOBS:-$(($(nproc) * 2))}
read -r -a options <<<"${O5_CMAKE_OPTIONS:-}"
what=${1:-all}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

run_asan() {
  echo "== sanitizer build in $asan_build"
  local start=$SECONDS
  CXX=${O5_ASAN_CXX:-clang++} cmake -S "$root" -B "$asan_build" -G Ninja "${options[@]}" \
    -DO5_SANITIZE=ON -DO5_FUZZ=ON -DO5_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$asan_build" -j "$jobs"
  local built=$SECONDS
  echo "== the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer"
  # Leaks count (LeakSanitizer runs at exit); every report ends the process
  # with an error. Child processes (the simulator, the port holder, the tool
  # itself) are built with the sanitizers too and inherit these settings.
  # Reports are symbolized by the symbolizer named here, never by whatever
  # the PATH happens to hold: the leak suppressions match function names, so
  # without it every suppressed leak is reported. clang only recommends the
  # package that has it (scripts/packages.txt lists it).
  local symbolizer=${O5_SYMBOLIZER:-/usr/lib/llvm-14/bin/llvm-symbolizer}
  if [ ! -x "$symbolizer" ]; then
    echo "error: the symbolizer $symbolizer is missing; scripts/install-deps.sh installs it" >&2
    return 1
  fi
  export ASAN_SYMBOLIZER_PATH=$symbolizer UBSAN_SYMBOLIZER_PATH=$symbolizer
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1:external_symbolizer_path=$symbolizer"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:external_symbolizer_path=$symbolizer"
  export LSAN_OPTIONS="suppressions=$root/tests/hardening/lsan.supp:print_suppressions=0"
  local status=0
  (cd "$asan_build" && ctest --output-on-failure --timeout 1200 -j "$test_jobs") || status=$?
  echo "== sanitizer run: build $((built - start)) s, tests $((SECONDS - built)) s"
  return "$status"
}

run_valgrind() {
  echo "== end-to-end tests under Valgrind memcheck (build in $build)"
  cmake -S "$root" -B "$build" -G Ninja "${options[@]}" >/dev/null
  cmake --build "$build" -j "$jobs" --target e2e_tests ortan5 ortan5-heatersim
  local start=$SECONDS status=0 shard pids=()
  # Only the test process is checked: the simulator and the copy of the tool
  # that one test starts run natively. Definite leaks and every memory error
  # fail. Memcheck runs one thread at a time, so the tests are split into one
  # share per processor, each checked in a process of its own; their output
  # follows in order once all have ended. The toolkit's regular expressions
  # (file name filters of a folder listing among them) run without their
  # just-in-time compiler: Memcheck cannot follow the code it makes and reports
  # its every branch as depending on uninitialised values.
  # The graph window's line for a live run is heard only once the tool has
  # charted the simulator's run; the tool slowed down by Memcheck falls behind
  # the simulator's unpaced line and hears its silence instead. That test runs
  # natively and under the sanitizers.
  local filter=-RussianDesktop.TheGraphWindowSaysWhichRunItShows
  for ((shard = 0; shard < jobs; shard++)); do
    (cd "$build" && QT_ENABLE_REGEXP_JIT=0 GTEST_TOTAL_SHARDS=$jobs GTEST_SHARD_INDEX=$shard GTEST_FILTER=$filter \
      valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
      --show-leak-kinds=definite --errors-for-leak-kinds=definite --num-callers=30 \
      --suppressions="$root/tests/hardening/valgrind.supp" \
      "$build/bin/e2e_tests" >"$build/valgrind-$shard.log" 2>&1) &
    pids+=($!)
  done
  for ((shard = 0; shard < jobs; shard++)); do
    wait "${pids[$shard]}" || status=$?
    echo "== Valgrind, share $((shard + 1)) of $jobs:"
    cat "$build/valgrind-$shard.log"
  done
  echo "== Valgrind run: $((SECONDS - start)) s"
  return "$status"
}

case $what in
  asan) run_asan ;;
  valgrind) run_valgrind ;;
  all)
    rc=0
    run_asan || rc=$?
    run_valgrind || rc=$?
    exit "$rc"
    ;;
  *)
    echo "usage: $0 [asan | valgrind | all]" >&2
    exit 2
    ;;
esac
