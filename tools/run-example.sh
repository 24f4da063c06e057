#!/usr/bin/env bash
# Runs one device file of examples/ through the driver and lists the result
# files it wrote. Usage: tools/run-example.sh BUILD_DIR DEVICE_FILE
set -euo pipefail
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

echo "== kovracomp -run $device -verbose"
status=0
"$driver" -run "$device" -verbose || status=$?

outdir=$(dirname "$device")
echo "== result files in $outdir"
ls -1 "$outdir" | grep -E '^(simulout|simuldevice|simulog|simulinput)' | sed "s|^|  $outdir/|" || true
exit $status
