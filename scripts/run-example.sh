#!/usr/bin/env bash
# Runs one device file through the driver, printing the engine's lines as
# they come, then lists the files the run wrote in its output folder and
# writes there the plot list simulplot.txt, as the device editor does after
# a run (kovraplot -kovra <folder>/simulplot.txt draws them).
# The device file is copied to BUILD_DIR/run/ first and run there, so that
# results written beside it (Command.OutDir=".") stay out of the sources.
# Usage: scripts/run-example.sh BUILD_DIR DEVICE_FILE
set -uo pipefail
build_dir=${1:-build}
device=${2:-examples/silicon-pn.kovra}
driver="$build_dir/bin/kovracomp"

if [ ! -x "$driver" ]; then
  echo "run-example: $driver was not built" >&2
  exit 1
fi
if [ ! -f "$device" ]; then
  echo "run-example: no device file $device" >&2
  exit 1
fi

rundir="$build_dir/run"
mkdir -p "$rundir"
# Results of an earlier example must not pass for this run's.
rm -f "$rundir"/simul*
cp "$device" "$rundir/"
# Model scripts lie beside the examples.
if [ -d "$(dirname "$device")/lua" ]; then
  cp -r "$(dirname "$device")/lua" "$rundir/"
fi
device="$rundir/$(basename "$device")"

echo "== kovracomp -run $device -verbose"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$driver" -run "$device" -verbose | tee "$log"
status=${PIPESTATUS[0]}

# The engine names its output folder in its verbose lines.
outdir=$(sed -n 's/^\[INFO\]    output directory: "\(.*\)"$/\1/p' "$log" | head -n 1)
if [ -n "$outdir" ] && [ -d "$outdir" ]; then
  # The plot list orders the results as the editor's: the distributions
  # (the last state first, then the equilibrium), then C-V, J-V and QE.
  results=$(sed -n 's/^\[RESULT\]  //p' "$log")
  {
    grep '_dist_' <<<"$results" | sort -r
    grep -E '_(cv|jv|qw)\.txt$' <<<"$results" | sort
  } > "$outdir/simulplot.txt"
  echo "== files written in $outdir"
  find "$outdir" -maxdepth 1 -type f -name 'simul*' -printf '  %p (%s bytes)\n' | sort
fi
if [ "$status" -eq 0 ]; then
  echo "== run succeeded"
else
  echo "== run failed (status $status)"
fi
exit "$status"
