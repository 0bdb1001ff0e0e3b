#!/usr/bin/env bash
# The house format (.clang-format at the top): every C++ source and header the
# repository tracks must be as clang-format leaves it. Prints the differences
# and fails on any. Fix with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ ${#files[@]} -eq 0 ]; then
  echo "check-format.sh: no C++ sources found" >&2
  exit 1
fi
echo "check-format.sh: $(clang-format --version), ${#files[@]} files"
clang-format --dry-run -Werror "${files[@]}"
