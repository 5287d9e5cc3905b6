#!/usr/bin/env bash
# Downloads FILES files of SIZE bytes from a loopback server with THREADS threads,
# once through the engine's Fetch (fetch_bench) and once with
# `curl --parallel --parallel-max THREADS`, RUNS times each, and prints throughput,
# the engine's peak memory and the engine/curl ratio (best run of each).
#
#   scripts/bench-fetch.sh                 # 200 x 256 KiB, 15 threads, no latency
#   LATENCY_MS=20 scripts/bench-fetch.sh   # every answer waits 20 ms (a slow server)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build-bench}
files=${FILES:-200}
size=${SIZE:-262144}
threads=${THREADS:-15}
latency=${LATENCY_MS:-0}
runs=${RUNS:-5}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTROVE_BUILD_GUI=OFF \
    -DPICTROVE_BUILD_TESTS=ON -DPICTROVE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target fetch_bench >/dev/null
bench="$build/bench/fetch_bench"

tmp=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

mkfifo "$tmp/in"
"$bench" --serve --latency-ms "$latency" --size "$size" < "$tmp/in" > "$tmp/server.out" &
server_pid=$!
exec 3> "$tmp/in"   # the server runs until this closes
for _ in $(seq 100); do grep -q '^PORT ' "$tmp/server.out" 2>/dev/null && break; sleep 0.05; done
port=$(awk '/^PORT /{print $2}' "$tmp/server.out")
[ -n "$port" ] || { echo "server did not start" >&2; exit 1; }

for i in $(seq 0 $((files - 1))); do
    echo "url = \"http://127.0.0.1:$port/file.jpg?n=$i\""
    echo "output = \"$tmp/curl/$i.jpg\""
done > "$tmp/curl.cfg"

now() { date +%s.%N; }
best_engine=0 best_curl=0 engine_rss=0
for run in $(seq "$runs"); do
    rm -rf "$tmp/engine" "$tmp/curl"; mkdir -p "$tmp/curl"
    t0=$(now)
    line=$("$bench" --fetch --port "$port" --dir "$tmp/engine" --files "$files" --threads "$threads")
    t1=$(now)
    curl --silent --no-progress-meter --show-error --fail --parallel --parallel-max "$threads" -K "$tmp/curl.cfg"
    t2=$(now)
    got=$(cat "$tmp"/curl/*.jpg | wc -c)
    [ "$got" -eq $((files * size)) ] || { echo "curl fetched $got bytes" >&2; exit 1; }

    engine=$(echo "$files $size $t0 $t1" | awk '{printf "%.1f", $1*$2/1048576/($4-$3)}')
    curlrate=$(echo "$files $size $t1 $t2" | awk '{printf "%.1f", $1*$2/1048576/($4-$3)}')
    rss=$(echo "$line" | sed -n 's/.*maxrss_kib=\([0-9]*\).*/\1/p')
    echo "run $run: engine $engine MiB/s ($line)"
    echo "run $run: curl   $curlrate MiB/s"
    best_engine=$(echo "$best_engine $engine" | awk '{print ($2>$1)?$2:$1}')
    best_curl=$(echo "$best_curl $curlrate" | awk '{print ($2>$1)?$2:$1}')
    [ "$rss" -gt "$engine_rss" ] && engine_rss=$rss
done

ratio=$(echo "$best_engine $best_curl" | awk '{printf "%.2f", $1/$2}')
echo
echo "files=$files size=$size threads=$threads latency_ms=$latency runs=$runs"
echo "engine best: $best_engine MiB/s   curl best: $best_curl MiB/s   ratio: ${ratio}x"
echo "engine peak memory: $((engine_rss / 1024)) MiB (maxrss $engine_rss KiB)"
