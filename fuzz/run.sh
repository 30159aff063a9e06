#!/usr/bin/env bash
# Builds the container fuzz target with libFuzzer, ASan and UBSan and runs it.
# Usage: fuzz/run.sh [seconds]   (default 60)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
seconds="${1:-60}"

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: skipping the container fuzz run"
    exit 0
fi

build="$here/build"
mkdir -p "$build/corpus"
clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" "$root/windows/lzrw1kh.cpp" "$here/fuzz_container.cpp" \
    -o "$build/fuzz_container"

# New finds go to build/corpus; the committed seeds stay as they are.
cd "$build"
exec ./fuzz_container -max_total_time="$seconds" -max_len=70000 -print_final_stats=1 \
    corpus "$here/corpus"
