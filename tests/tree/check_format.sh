#!/usr/bin/env bash
# The tracked C++ files are formatted as .clang-format says.
#   check_format.sh [source-root]
set -euo pipefail

root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
cd "$root"
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
clang-format --dry-run -Werror "${files[@]}"
echo "format: ${#files[@]} files as .clang-format says"
