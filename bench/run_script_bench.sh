#!/usr/bin/env bash
# Runs every scripted corpus case (those with a trace output) headless for
# the frames its test.toml gives, timing the frame advances only (timeline,
# scripts, events; no rendering), and checks that they run at least TARGET
# times faster than real time. Prints one line per case that misses, the
# slowest cases, then a summary.
# Usage: bench/run_script_bench.sh [BUILD_DIR] [CORPUS_DIR] [TARGET]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
corpus=${2:-$root/../shared/corpus}
target=${3:-10}
tool="$build/tools/nimbrel-render/nimbrel-render"
[ -x "$tool" ] || { echo "build nimbrel-render first ($tool)"; exit 2; }
[ -d "$corpus" ] || { echo "no corpus at $corpus: skipped"; exit 0; }
results=$(mktemp)
trap 'rm -f "$results"' EXIT
total=0; slow=0; failed=0
while read -r toml; do
    dir=$(dirname "$toml")
    [ -f "$dir/output.txt" ] || continue
    swf="$dir/test.swf"
    [ -f "$swf" ] || swf=$(find "$dir" -maxdepth 1 -name '*.swf' | sort | head -n 1)
    [ -n "$swf" ] && [ -f "$swf" ] || continue
    frames=$(sed -nE 's/^(num_frames|num_ticks)[[:space:]]*=[[:space:]]*([0-9]+).*/\2/p' "$toml" | head -n 1)
    frames=${frames:-1}
    total=$((total + 1))
    line=$(timeout 120 "$tool" "$swf" --bench --no-render --frames "$frames" 2>/dev/null | tail -n 1)
    if [[ "$line" != load_ms=* ]]; then
        failed=$((failed + 1)); echo "FAILED ${dir#$corpus/}"; continue
    fi
    advances=$(sed -E 's/.*advances=([0-9]+).*/\1/' <<<"$line")
    realtime=$(sed -E 's/.*realtime_x=([0-9.]+).*/\1/' <<<"$line")
    [ "$advances" -gt 0 ] || continue
    echo "$realtime ${dir#$corpus/} $line" >> "$results"
    if awk -v r="$realtime" -v t="$target" 'BEGIN { exit !(r < t) }'; then
        slow=$((slow + 1)); echo "SLOW ${dir#$corpus/}: $line"
    fi
done < <(find "$corpus" -name test.toml | sort)
echo "slowest cases (times faster than real time):"
sort -n "$results" | head -n 10 | sed 's/^/  /'
measured=$(wc -l < "$results")
echo "cases=$total measured=$measured slow=$slow failed=$failed target=${target}x"
