#!/usr/bin/env bash
# The tree's one layout (.clang-format) over every C and C++ file git
# tracks: without arguments a check that fails on the first difference and
# names the file and line; with --fix the files are rewritten in place.
set -euo pipefail
cd "$(dirname "$0")/.."

FORMAT=${CLANG_FORMAT:-clang-format-16}
if ! command -v "$FORMAT" >/dev/null; then
  echo "check-format: $FORMAT is missing (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  list() { git ls-files -z -- '*.cpp' '*.h' '*.c'; }
else
  list() { find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0; }
fi

if [ "${1:-}" = "--fix" ]; then
  list | xargs -0 -r "$FORMAT" -i
  exit 0
fi

if ! list | xargs -0 -r "$FORMAT" --dry-run -Werror --ferror-limit=3; then
  echo "check-format: the files above differ from .clang-format;" \
       "scripts/check-format.sh --fix formats them" >&2
  exit 1
fi
echo "check-format: every file follows .clang-format"
