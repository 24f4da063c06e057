#!/usr/bin/env bash
# Builds only the fuzz tests (mutated device files, side files and model
# scripts; result files for the plot tool; the calculator's expression and
# session files; the Lua module's network, tensor and image files) under
# AddressSanitizer and UBSan in their own build folder and
# runs them: a memory fault that the plain build survives by luck fails
# here. Each fuzz test caps its own running time, so the whole step stays
# within a few minutes of building on two cores.
# Usage: scripts/run-sanitized-fuzz.sh [BUILD_DIR] [JOBS]
set -uo pipefail
build_dir=${1:-build-asan}
jobs=${2:-$(nproc)}
targets=(ekinput_input_fuzz_test eksimulator_side_files_fuzz_test ekmodel_lua_script_fuzz_test)
# The plot tool's result-file reader, the calculator's expression and
# session files, the Lua module's loaders.
targets+=(kovraplot_result_fuzz_test kovracalc_files_fuzz_test nrvlua_loaders_fuzz_test)

started=$(date +%s)
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKOVRA_SANITIZE=ON -DKOVRA_BUILD_BENCH=OFF -DKOVRA_WERROR=ON > /dev/null || exit 1
cmake --build "$build_dir" -j "$jobs" --target "${targets[@]}" material_database |
  grep -Ev '^\[[0-9]+/[0-9]+\] ' || true
if [ "${PIPESTATUS[0]}" -ne 0 ]; then
  echo "sanitized fuzz: build failed" >&2
  exit 1
fi
built=$(date +%s)
bash "$(dirname "$0")/run-tests.sh" "$build_dir" "$jobs" -R Fuzz
status=$?
echo "sanitized fuzz: built in $((built - started)) s, ran in $(( $(date +%s) - built )) s"
exit "$status"
