#!/usr/bin/env bash
# Every C++ file of the repository is formatted as .clang-format says (clang-format -i fixes it).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "FAIL: clang-format is not installed (scripts/install-deps installs it)"; exit 1; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z '*.cpp' '*.h'
else
    find . \( -name 'build*' -o -path ./fuzz/build \) -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
fi | xargs -0 clang-format --dry-run --Werror
echo "PASS: every C++ file is formatted"
