#!/usr/bin/env bash
# Runs the commands that the README shows in its shell blocks, as a reader
# would after `make run`, and fails on the first one that does not work as
# written. It works in a scratch folder laid out like the source tree
# (build/bin linked in, examples/ copied, since a run writes its results
# beside its device file; etc/, tools/, scripts/ and docs/ linked), so nothing lands
# in the real build or source folders.
#   - `make run [EXAMPLE=...]` runs scripts/run-example.sh, which is what it
#     does once everything is built; `make test` is left out (it is the
#     suite this check belongs to);
#   - the window programs (KovraDevice, kovraplot, kovradatabase, KovraCalc
#     without -run or -test) are not opened: the program must exist and
#     every file the line names must be there;
#   - every other line must exit with status 0 within a minute.
# Usage: scripts/check-readme-commands.sh SOURCE_DIR BIN_DIR
set -uo pipefail
source_dir=$(cd "${1:?source folder}" && pwd)
bin_dir=$(cd "${2:?program folder}" && pwd)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/build"
ln -s "$bin_dir" "$scratch/build/bin"
cp -r "$source_dir/examples" "$scratch/examples"
for entry in etc tools scripts docs; do
  ln -s "$source_dir/$entry" "$scratch/$entry"
done
cd "$scratch" || exit 1

failures=0
fail() {
  echo "README command failed: $1"
  echo "  $2"
  failures=$((failures + 1))
}

# A window program, or KovraCalc without one of its command-line modes.
opens_window() {
  case "$1" in
    */KovraDevice | */kovraplot | */kovradatabase | */kovraedit) return 0 ;;
    */KovraCalc) [[ " $* " != *" -run "* && " $* " != *" -test "* ]] ;;
    *) return 1 ;;
  esac
}

run_line() {
  local line=$1 words
  read -r -a words <<<"$line"
  case "$line" in
    "make test"*) return ;;
    "make run"*)
      local example=examples/silicon-pn.kovra
      [[ $line =~ EXAMPLE=([^[:space:]]+) ]] && example=${BASH_REMATCH[1]}
      bash "$source_dir/scripts/run-example.sh" build "$example" > run.log 2>&1 ||
        fail "$line" "$(tail -n 3 run.log)"
      return ;;
  esac
  if opens_window "${words[@]}"; then
    [ -x "${words[0]}" ] || { fail "$line" "no program ${words[0]}"; return; }
    local word
    for word in "${words[@]:1}"; do
      [[ $word == -* || $word != */* ]] && continue
      [ -e "$word" ] || fail "$line" "no file $word"
    done
    return
  fi
  local output
  output=$(timeout 60 bash -c "$line" 2>&1) || fail "$line" "$(tail -n 3 <<<"$output")"
}

count=0
while IFS= read -r line; do
  line=${line%%#*}                       # the comment after the command
  line=${line%"${line##*[![:space:]]}"}  # trailing blanks
  [ -n "$line" ] || continue
  run_line "$line"
  count=$((count + 1))
done < <(awk '/^```sh/ { inside = 1; next } /^```/ { inside = 0 } inside' "$source_dir/README.md")

echo "$count README commands checked, $failures failed"
[ "$count" -gt 10 ] && [ "$failures" -eq 0 ]
