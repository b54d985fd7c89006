#!/usr/bin/env bash
# compare.sh LISTENER [ROWS] - the same programs in the engine (through its listener) and in Lua 5.4,
# side by side: the best of five runs of each, and the engine's time as a multiple of Lua's.
# With ROWS, each comparison is also appended there as a benchmark row.
set -euo pipefail
listener=$1
rows=${2:-/dev/null}
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
        met=$(awk -v e="$e" -v l="$l" -v a="$eres" -v b="$lres" 'BEGIN { print (e <= 3 * l && a == b) ? "yes" : "NO" }')
        printf 'row\tengine against Lua 5.4: %s\t%s\t%s\t%s\tLua 5.4\twithin 3x, same result\t%s\n' \
            "$p" "$(head -1 "$here/$p.ms" | sed 's/^-- //')" "$e" "$l" "$met" >>"$rows"
    else
        printf '%-10s %12s %12s %8s   %s\n' "$p" "$e" "-" "-" "$eres (lua5.4 not installed)"
    fi
done
