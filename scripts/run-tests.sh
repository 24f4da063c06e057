#!/usr/bin/env bash
# Runs the test suite of a build folder and prints a short account: one
# line per failed test with its whole output, then CTest's summary. The
# passing tests are left out (there are hundreds). A parameterised test
# whose cases have no names fails the run as well.
# Usage: scripts/run-tests.sh BUILD_DIR [JOBS] [extra ctest arguments...]
set -uo pipefail
build_dir=${1:-build}
jobs=${2:-$(nproc)}
shift $(( $# > 2 ? 2 : $# ))

cd "$build_dir" || exit 1

# Every case of a parameterised test is named by what it checks: a number
# alone, or the printed bytes of a parameter, says nothing in a result line
# (and the bytes change from build to build).
unnamed=$(ctest -N "$@" | grep -E '^ *Test +#[0-9]+: ' | grep -E '/[0-9]+$|GetParam|byte object')
if [ -n "$unnamed" ]; then
  echo "Parameterised tests without a name (give their suite a name generator):"
  echo "$unnamed"
fi

ctest -j "$jobs" --output-on-failure "$@" 2>&1 |
  grep -Ev '^ *(Start +[0-9]+: |[0-9]+/[0-9]+ Test +#[0-9]+: .*Passed)'
status=${PIPESTATUS[0]}
[ -z "$unnamed" ] || status=1
exit "$status"
