#!/usr/bin/env bash
# report.sh RESULTS OUT - turns the benchmarks' row/plot lines into out/bench.md and out/bench.png.
set -euo pipefail
results=$1
out=$2
{
    echo "| case | size | ours (ms) | baseline (ms) | baseline | ratio | target | met |"
    echo "| --- | --- | ---: | ---: | --- | ---: | --- | --- |"
    awk -F'\t' '$1 == "row" {
        ratio = "-"
        if ($6 ~ /^raw / && $4 > 0) ratio = sprintf("%.1f %% of raw", 100 * $5 / $4)
        else if ($4 > 0 && $5 > 0) ratio = sprintf("%.1fx", $5 / $4)
        printf "| %s | %s | %s | %s | %s | %s | %s | %s |\n", $2, $3, ($4 > 0 ? sprintf("%.3f", $4) : "-"), ($5 > 0 ? sprintf("%.3f", $5) : "-"), $6, ratio, $7, $8
    }' "$results"
} >"$out/bench.md"
cat "$out/bench.md"

awk -F'\t' '$1 == "plot" && $2 == "paint" { print $3, $4 }' "$results" >"$out/paint.dat"
awk -F'\t' '$1 == "plot" && $2 == "paint (plain)" { print $3, $4 }' "$results" >"$out/paint_plain.dat"
awk -F'\t' '$1 == "plot" && $2 == "press" { print $3, $4 }' "$results" >"$out/press.dat"
awk -F'\t' '$1 == "plot" && $2 == "press (plain scan)" { print $3, $4 }' "$results" >"$out/press_plain.dat"
gnuplot <<PLOT
set terminal pngcairo size 1000,450 font ",10"
set output "$out/bench.png"
set multiplot layout 1,2
set logscale xy
set grid
set key top left
set xlabel "nodes (two links each)"
set ylabel "ms"
set title "paint, zoom 1, 1280 x 1024 view into the middle"
plot "$out/paint.dat" with linespoints title "culled paint", "$out/paint_plain.dat" with linespoints title "plain paint"
set title "left press on empty space, whole graph in view"
plot "$out/press.dat" with linespoints title "indexed press", "$out/press_plain.dat" with linespoints title "plain scan"
unset multiplot
PLOT
rm -f "$out"/paint.dat "$out"/paint_plain.dat "$out"/press.dat "$out"/press_plain.dat
echo "wrote $out/bench.md and $out/bench.png"
