#!/usr/bin/env bash
# No folder includes another against the arrows: each may include only itself and the
# folders below it (the same list its CMake library links).
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
    [net]="net"
    [platform]="platform"
    [tally]="tally platform"
    [host]="host net"
    [client]="client net platform"
    [windows]="windows client tally platform net"
    [app]="app windows client host tally platform net"
)
failed=0
for folder in "${!allowed[@]}"; do
    while IFS=: read -r file line include; do
        [[ $include =~ ^#include\ \"([a-z]+)/ ]] && target=${BASH_REMATCH[1]}
        [[ -n "${allowed[$target]+x}" ]] || continue # a generated form or a system header
        if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
            echo "FAIL: $file:$line: $folder includes $target: $include"
            failed=1
        fi
    done < <(grep -HnE '^#include "[a-z]+/' "$folder"/*.cpp "$folder"/*.h 2>/dev/null || true)
done
[[ $failed == 0 ]] && echo "PASS: every include follows the arrows"
exit $failed
