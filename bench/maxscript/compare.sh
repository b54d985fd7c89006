#!/usr/bin/env bash
# compare.sh LISTENER - the same programs in the engine (through its listener) and in Lua 5.4,
# side by side: the best of five runs of each, and the engine's time as a multiple of Lua's.
set -euo pipefail
listener=$1
here=$(cd "$(dirname "$0")" && pwd)
lua=$(command -v lua5.4 || true)
best_ms() {  # best wall time of five runs, in milliseconds; the output of the last run in $out
    local best=
    for _ in 1 2 3 4 5; do
        local t0 t1
        t0=$(date +%s%N)
        out=$("$@")
        t1=$(date +%s%N)
        local ms=$(( (t1 - t0) / 1000000 ))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}
printf '%-10s %12s %12s %8s   %s\n' program "engine ms" "lua ms" ratio results
for p in loop fib loop_big; do
    # the listener prints every top-level result; the last line is the program's answer
    eres=$("$listener" < "$here/$p.ms" | tail -1)
    e=$(best_ms sh -c "\"$listener\" < \"$here/$p.ms\" >/dev/null")
    if [ -n "$lua" ]; then
        l=$(best_ms "$lua" "$here/$p.lua")
        lres=$("$lua" "$here/$p.lua")
        [ "$l" -gt 0 ] || l=1
        ratio=$(awk -v e="$e" -v l="$l" 'BEGIN { printf "%.1fx", e / l }')
        printf '%-10s %12s %12s %8s   %s / %s\n' "$p" "$e" "$l" "$ratio" "$eres" "$lres"
    else
        printf '%-10s %12s %12s %8s   %s\n' "$p" "$e" "-" "-" "$eres (lua5.4 not installed)"
    fi
done
