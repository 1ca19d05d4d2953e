#!/usr/bin/env bash
# Fails when a tracked C++ file is not laid out as .clang-format says, naming the files and
# the command that fixes them. Run by ctest, so `make test` (and CI) hold every commit to it.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.h')
[ ${#files[@]} -gt 0 ] || { echo "no tracked C++ files found"; exit 1; }

unformatted=()
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done

if [ ${#unformatted[@]} -gt 0 ]; then
  echo "${#unformatted[@]} file(s) do not match .clang-format:"
  printf '  %s\n' "${unformatted[@]}"
  echo "fix them with: make format"
  exit 1
fi
echo "all ${#files[@]} C++ files match .clang-format"
