#!/usr/bin/env bash
# Fuzzes the SWF reader, playback and drawing for SECONDS (default 60) with
# libFuzzer, seeded with the corpus movies and the malformed regression files.
# Crashes land in build/fuzz/crashes/; keep each in tests/data/malformed/.
set -euo pipefail
seconds=${1:-60}
# A unit slower than this many seconds counts as a finding; raise it on a
# machine that other work keeps busy, where wall time runs several times slower.
unit_timeout=${FUZZ_UNIT_TIMEOUT:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNIMBREL_FUZZ=ON -DNIMBREL_ENGINE_ONLY=ON -DNIMBREL_BUILD_TESTS=OFF \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target nimbrel-fuzz -j "$(nproc)"
seeds="$build/seeds"
mkdir -p "$seeds" "$build/crashes" "$build/work"
for corpus in "$root/../shared/corpus" "$root/../shared/corpus-as3"; do
    [ -d "$corpus" ] || continue
    # Every case calls its movie test.swf: name the copies after their paths.
    # -L: the corpus folder is often a symbolic link to a shared copy.
    find -L "$corpus" -name '*.swf' -size -64k | while read -r f; do
        cp "$f" "$seeds/$(printf '%s' "$f" | md5sum | cut -c1-16).swf"
    done
done
cp -n "$root"/tests/data/malformed/*.swf "$seeds/" 2>/dev/null || true
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
"$build/tools/nimbrel-fuzz/nimbrel-fuzz" "$build/work" "$seeds" \
    -max_total_time="$seconds" -max_len=262144 -rss_limit_mb=2048 -timeout="$unit_timeout" \
    -artifact_prefix="$build/crashes/" -print_final_stats=1
