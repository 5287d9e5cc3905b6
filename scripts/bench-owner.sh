#!/usr/bin/env bash
# A whole owner against the peers, in one run: one album of 300 pictures and 30 albums
# of 10, each at LATENCIES (ms per answer, category pages included), downloaded
#   - through the engine's download driver (download_bench --albums), listing included;
#   - by `aria2c -j THREADS -i LIST` and `curl --parallel --parallel-max THREADS` on the
#     same pictures as one flat list of addresses, from the same server;
# RUNS times each, alternating, best run kept; then the engine's peak memory on an
# owner of 2000 albums of 50 small pictures (BIG_OWNER; listed BIG_PER_PAGE a page).
#
#   scripts/bench-owner.sh
#   RUNS=1 LATENCIES=30 scripts/bench-owner.sh     # a quicker look
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build-bench-download}
threads=${THREADS:-15}
size=${SIZE:-204800}
runs=${RUNS:-3}
latencies=${LATENCIES:-30 150}
shapes=${SHAPES:-1x300 30x10}
big=${BIG_OWNER:-2000x50}
big_size=${BIG_SIZE:-2048}
big_per_page=${BIG_PER_PAGE:-50}

command -v aria2c >/dev/null || { echo "aria2c is needed" >&2; exit 1; }
command -v curl >/dev/null || { echo "curl is needed" >&2; exit 1; }

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTROVE_BUILD_GUI=OFF \
    -DPICTROVE_BUILD_TESTS=ON -DPICTROVE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target download_bench >/dev/null
bench="$build/bench/download_bench"

tmp=$(mktemp -d)
server_pid=
stop_server() {
    exec 3>&- 2>/dev/null || true
    [ -n "$server_pid" ] && { kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; }
    server_pid=
}
trap 'stop_server; rm -rf "$tmp"' EXIT

start_server() {  # latency size owners [per-page]
    rm -f "$tmp/in" "$tmp/server.out"
    mkfifo "$tmp/in"
    "$bench" --serve --latency-ms "$1" --size "$2" --files 1 --owners "$3" ${4:+--per-page "$4"} \
        < "$tmp/in" > "$tmp/server.out" &
    server_pid=$!
    exec 3> "$tmp/in"
    for _ in $(seq 100); do grep -q '^PORT ' "$tmp/server.out" 2>/dev/null && break; sleep 0.05; done
    port=$(awk '/^PORT /{print $2}' "$tmp/server.out")
    [ -n "$port" ] || { echo "server did not start" >&2; exit 1; }
}

now() { date +%s.%N; }
elapsed() { echo "$1 $2" | awk '{printf "%.3f", $2 - $1}'; }
best() { echo "$1 $2" | awk '{print ($2<$1)?$2:$1}'; }
ratio() { echo "$1 $2" | awk '{printf "%.2f", $1/$2}'; }
check_bytes() {  # dir expected_bytes tool
    local got
    got=$(find "$1" -type f -name '*.jpg' -printf '%s\n' | awk '{s += $1} END {print s + 0}')
    [ "$got" -eq "$2" ] || { echo "$3 saved $got bytes, expected $2" >&2; exit 1; }
}

rows=()
for latency in $latencies; do
    start_server "$latency" "$size" "$(echo $shapes | tr ' ' ',')"
    for shape in $shapes; do
        albums=${shape%x*} files=${shape#*x} total=$(( ${shape%x*} * ${shape#*x} ))
        for i in $(seq 0 $((total - 1))); do echo "http://127.0.0.1:$port/orignal/file.jpg?n=$i"; done > "$tmp/list"
        awk '{print; printf "  out=%d.jpg\n", NR - 1}' "$tmp/list" > "$tmp/aria2.in"
        awk '{printf "url = \"%s\"\noutput = \"%s/curl/%d.jpg\"\n", $0, dir, NR - 1}' dir="$tmp" "$tmp/list" > "$tmp/curl.cfg"
        be=999999 ba=999999 bc=999999 rss=0
        for run in $(seq "$runs"); do
            rm -rf "$tmp/engine"; t0=$(now)
            "$bench" --download --port "$port" --dir "$tmp/engine" --albums "$albums" --files "$files" \
                --threads "$threads" > "$tmp/engine.out"
            t1=$(now); s=$(elapsed "$t0" "$t1"); be=$(best "$be" "$s")
            check_bytes "$tmp/engine" $((total * size)) engine
            r=$(sed -n 's/.*maxrss_kib=\([0-9]*\).*/\1/p' "$tmp/engine.out"); [ "$r" -gt "$rss" ] && rss=$r

            rm -rf "$tmp/aria2"; t0=$(now)
            aria2c -q -j "$threads" -i "$tmp/aria2.in" -d "$tmp/aria2"
            t1=$(now); a=$(elapsed "$t0" "$t1"); ba=$(best "$ba" "$a")
            check_bytes "$tmp/aria2" $((total * size)) aria2c

            rm -rf "$tmp/curl"; mkdir -p "$tmp/curl"; t0=$(now)
            curl -s --parallel --parallel-max "$threads" -K "$tmp/curl.cfg" 2>/dev/null
            t1=$(now); c=$(elapsed "$t0" "$t1"); bc=$(best "$bc" "$c")
            check_bytes "$tmp/curl" $((total * size)) curl
            echo "latency ${latency} ms, $shape, run $run: engine $s s, aria2c $a s, curl $c s"
        done
        rows+=("| $shape | $latency ms | $be s | $ba s | $bc s | $(ratio "$ba" "$be")× | $(ratio "$bc" "$be")× | $((rss / 1024)) MiB |")
    done
    stop_server
done

# The engine's memory on a big owner of small pictures.
start_server 0 "$big_size" "$big" "$big_per_page"
rm -rf "$tmp/engine"; t0=$(now)
"$bench" --download --port "$port" --dir "$tmp/engine" --albums "${big%x*}" --files "${big#*x}" \
    --threads "$threads" --no-pause > "$tmp/engine.out"
t1=$(now)
big_rss=$(sed -n 's/.*maxrss_kib=\([0-9]*\).*/\1/p' "$tmp/engine.out")
stop_server

echo
echo "threads=$threads size=$size runs=$runs (best of each)"
echo "| owner | latency | engine | aria2c -j $threads | curl --parallel $threads | engine vs aria2c | engine vs curl | engine peak memory |"
echo "|---|---|---|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
echo
echo "owner $big of $big_size-byte pictures, $big_per_page a page: $(elapsed "$t0" "$t1") s, engine peak memory $((big_rss / 1024)) MiB"
