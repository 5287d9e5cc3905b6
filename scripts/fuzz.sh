#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, -DPICTROVE_FUZZ=ON) and runs each for SECONDS
# seconds (default 20) from a corpus seeded with the test fixtures. A crash, a hang,
# a sanitizer report or a broken property fails the run; the input that did it is
# left in build/fuzz/crashes/. docs/fuzzing.md says how to run them longer.
#
#   scripts/fuzz.sh              # every target, 20 s each
#   SECONDS_EACH=600 scripts/fuzz.sh naming_fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build/fuzz
seconds=${SECONDS_EACH:-20}

# A build CI configured already (with the engine's suites, which it runs under the same
# sanitizers) is used as it is.
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPICTROVE_FUZZ=ON \
        -DPICTROVE_BUILD_GUI=OFF -DPICTROVE_BUILD_TESTS=OFF -DPICTROVE_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build"

fixtures=tests/fixtures
seeds_dir=fuzz/seeds
# target: seed folders from the test fixtures, and small hand-made ones
declare -A seeds=(
    [gunzip_fuzz]="$fixtures/sources"
    [page_text_fuzz]="$fixtures/sources"
    [cookie_line_fuzz]="$fixtures/net"
    [address_fuzz]="$seeds_dir/address"
    [settings_fuzz]="$seeds_dir/settings"
    [naming_fuzz]="$seeds_dir/naming"
    [source_pages_fuzz]="$fixtures/sources"
    [cli_arguments_fuzz]="$seeds_dir/cli_arguments"
)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(gunzip_fuzz page_text_fuzz cookie_line_fuzz address_fuzz settings_fuzz
                                     naming_fuzz source_pages_fuzz cli_arguments_fuzz)

mkdir -p "$build/crashes"
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    for seed in ${seeds[$target]}; do
        [ -e "$seed" ] && find "$seed" -type f -size -256k -exec cp {} "$corpus/" \;
    done
    echo "== $target ($seconds s, $(ls "$corpus" | wc -l) inputs) =="
    log="$build/$target.log"
    if ! ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$root/$build/crashes/$target-" >"$log" 2>&1; then
        grep -E "ERROR|property broken|SUMMARY|Test unit written|#[0-9]+ +in " "$log" | head -40 >&2
        echo "$target failed; the input is in $build/crashes/, the whole log in $log" >&2
        exit 1
    fi
    grep -E "^Done [0-9]+ runs" "$log" || true
done
