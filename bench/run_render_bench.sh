#!/usr/bin/env bash
# Renders every frame of every corpus movie at 800x600 with nimbrel-render
# --bench and checks the median against a fifth of the movie's own frame
# interval. Prints one line per movie that misses, then a summary.
# Usage: bench/run_render_bench.sh [BUILD_DIR] [CORPUS_DIR]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
corpus=${2:-$root/../shared/corpus}
tool="$build/tools/nimbrel-render/nimbrel-render"
[ -x "$tool" ] || { echo "build nimbrel-render first ($tool)"; exit 2; }
[ -d "$corpus" ] || { echo "no corpus at $corpus: skipped"; exit 0; }
total=0; slow=0; failed=0; worst=0; worst_movie=""
while read -r swf; do
    total=$((total + 1))
    line=$(timeout 300 "$tool" "$swf" --bench --size 800x600 --repeat 3 2>/dev/null | tail -n 1)
    if [[ "$line" != median_ms=* ]]; then
        failed=$((failed + 1)); echo "FAILED $swf"; continue
    fi
    median=$(sed -E 's/.*median_ms=([0-9.]+).*/\1/' <<<"$line")
    fps=$(sed -E 's/.*fps=([0-9.e+-]+).*/\1/' <<<"$line")
    verdict=$(awk -v m="$median" -v f="$fps" 'BEGIN { if (f <= 0) f = 12; if (f > 120) f = 120; b = 1000 / f / 5; r = m / b; printf "%s %.3f", (m > b ? "slow" : "ok"), r }')
    ratio=${verdict#* }
    if awk -v r="$ratio" -v w="$worst" 'BEGIN { exit !(r > w) }'; then worst=$ratio; worst_movie="$swf ($line)"; fi
    if [[ $verdict == slow* ]]; then slow=$((slow + 1)); echo "SLOW $swf: $line"; fi
done < <(find "$corpus" -name '*.swf' | sort)
echo "movies=$total slow=$slow failed=$failed worst_ratio=$worst worst=$worst_movie"
