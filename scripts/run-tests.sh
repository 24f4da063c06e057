#!/usr/bin/env bash
# Runs the test suite of a build folder and prints a short account: one
# line per failed test with its whole output, then CTest's summary. The
# passing tests are left out (there are hundreds).
# Usage: scripts/run-tests.sh BUILD_DIR [JOBS] [extra ctest arguments...]
set -uo pipefail
build_dir=${1:-build}
jobs=${2:-$(nproc)}
shift $(( $# > 2 ? 2 : $# ))

cd "$build_dir" || exit 1
ctest -j "$jobs" --output-on-failure "$@" 2>&1 |
  grep -Ev '^ *(Start +[0-9]+: |[0-9]+/[0-9]+ Test +#[0-9]+: .*Passed)'
exit "${PIPESTATUS[0]}"
