#!/usr/bin/env bash
# Builds a libFuzzer target with clang, ASan and UBSan and runs it.
# Usage: fuzz/run.sh TARGET [seconds]   (default 60)
# Targets: container, host, client, settings, tally. New finds go to
# fuzz/build/corpus/TARGET; the committed seeds in fuzz/corpus/TARGET stay as they are.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
target="${1:?usage: fuzz/run.sh TARGET [seconds]}"
seconds="${2:-60}"

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: skipping the $target fuzz run"
    exit 0
fi

build="$here/build"
cmake -S "$root" -B "$build" -DQUORVEL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)" --target "fuzz_$target"

mkdir -p "$build/corpus/$target"
cd "$build"
export QT_QPA_PLATFORM=offscreen
options=()
case "$target" in
host) options+=(-dict="$here/protocol.dict") ;;
client)
    options+=(-dict="$here/protocol.dict")
    # The GUI libraries keep allocations to the end, which are no findings; the window's
    # pictures are large, so freed memory is reused sooner and not filled.
    export ASAN_OPTIONS="detect_leaks=0:max_malloc_fill_size=0:quarantine_size_mb=16"
    ;;
esac
exec "./fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=70000 -print_final_stats=1 \
    "${options[@]}" "corpus/$target" "$here/corpus/$target"
