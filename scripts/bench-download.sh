#!/usr/bin/env bash
# Downloads one album of FILES pictures of SIZE bytes from a loopback server whose every
# answer waits LATENCY_MS, in one run:
#   - through the engine's download driver with THREADS workers (download_bench), and
#     with `aria2c -j THREADS -i LIST` - RUNS times each, best run of each kept;
#   - through the engine with one worker and the pacing pause switched off, through a
#     bare loop of the page fetcher (fetch_bench, one thread), and with `wget -i LIST`
#     (sequential) - once each;
#   - through the engine with one worker and its 2000 ms pacing, and with wget, on the
#     first PACED_FILES pictures - once each.
# Prints every run, then the ratios and the engine's peak memory.
#
#   scripts/bench-download.sh                     # 300 x 200 KiB, 15 workers, 30 ms
#   FILES=100 RUNS=1 scripts/bench-download.sh    # a quicker look
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build-bench-download}
files=${FILES:-300}
size=${SIZE:-204800}
threads=${THREADS:-15}
latency=${LATENCY_MS:-30}
runs=${RUNS:-3}
paced=${PACED_FILES:-20}

command -v aria2c >/dev/null || { echo "aria2c is needed" >&2; exit 1; }
command -v wget >/dev/null || { echo "wget is needed" >&2; exit 1; }

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTROVE_BUILD_GUI=OFF \
    -DPICTROVE_BUILD_TESTS=ON -DPICTROVE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target download_bench fetch_bench >/dev/null
bench="$build/bench/download_bench"
fetch_bench="$build/bench/fetch_bench"

tmp=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

mkfifo "$tmp/in"
"$bench" --serve --latency-ms "$latency" --size "$size" --files "$files,$paced" \
    < "$tmp/in" > "$tmp/server.out" &
server_pid=$!
exec 3> "$tmp/in"   # the server runs until this closes
for _ in $(seq 100); do grep -q '^PORT ' "$tmp/server.out" 2>/dev/null && break; sleep 0.05; done
port=$(awk '/^PORT /{print $2}' "$tmp/server.out")
[ -n "$port" ] || { echo "server did not start" >&2; exit 1; }

# The addresses the engine fetches, one per line; aria2c gets a name per file.
for i in $(seq 0 $((files - 1))); do
    echo "http://127.0.0.1:$port/orignal/file.jpg?n=$i"
done > "$tmp/list"
head -n "$paced" "$tmp/list" > "$tmp/list.paced"
awk '{print; printf "  out=%d.jpg\n", NR - 1}' "$tmp/list" > "$tmp/aria2.in"

now() { date +%s.%N; }
elapsed() { echo "$1 $2" | awk '{printf "%.3f", $2 - $1}'; }
rate() { echo "$1 $2" | awk -v s="$size" '{printf "%.1f", $1 * s / 1048576 / $2}'; }
check_bytes() {  # dir expected_files tool
    local got
    got=$(find "$1" -type f -name '*.jpg*' -printf '%s\n' | awk '{s += $1} END {print s + 0}')
    [ "$got" -eq $(($2 * size)) ] || { echo "$3 saved $got bytes, expected $(($2 * size))" >&2; exit 1; }
}
engine() {  # threads files [--no-pause]; prints the elapsed seconds, keeps the result line
    local dir="$tmp/engine" t0 t1
    rm -rf "$dir"
    t0=$(now)
    "$bench" --download --port "$port" --dir "$dir" --files "$2" --threads "$1" ${3:-} > "$tmp/engine.out"
    t1=$(now)
    check_bytes "$dir/bench" "$2" engine
    elapsed "$t0" "$t1"
}

best_engine=999999 best_aria=999999 engine_rss=0
for run in $(seq "$runs"); do
    s=$(engine "$threads" "$files")
    rss=$(sed -n 's/.*maxrss_kib=\([0-9]*\).*/\1/p' "$tmp/engine.out")
    [ "$rss" -gt "$engine_rss" ] && engine_rss=$rss
    echo "run $run: engine x$threads  ${s} s  $(rate "$files" "$s") MiB/s  ($(cat "$tmp/engine.out"))"
    best_engine=$(echo "$best_engine $s" | awk '{print ($2<$1)?$2:$1}')

    rm -rf "$tmp/aria2"
    t0=$(now)
    aria2c -q -j "$threads" -i "$tmp/aria2.in" -d "$tmp/aria2"
    t1=$(now)
    check_bytes "$tmp/aria2" "$files" aria2c
    s=$(elapsed "$t0" "$t1")
    echo "run $run: aria2c -j $threads  ${s} s  $(rate "$files" "$s") MiB/s"
    best_aria=$(echo "$best_aria $s" | awk '{print ($2<$1)?$2:$1}')
done

single=$(engine 1 "$files" --no-pause)
echo "engine x1, no pause  ${single} s  $(rate "$files" "$single") MiB/s"
t0=$(now)
"$fetch_bench" --fetch --port "$port" --dir "$tmp/fetch" --files "$files" --threads 1 > /dev/null
t1=$(now)
check_bytes "$tmp/fetch" "$files" fetch_bench
fetch_s=$(elapsed "$t0" "$t1")
echo "bare Fetch loop x1   ${fetch_s} s  $(rate "$files" "$fetch_s") MiB/s"
rm -rf "$tmp/wget"
t0=$(now); wget -q -i "$tmp/list" -P "$tmp/wget"; t1=$(now)
check_bytes "$tmp/wget" "$files" wget
wget_s=$(elapsed "$t0" "$t1")
echo "wget -i LIST         ${wget_s} s  $(rate "$files" "$wget_s") MiB/s"

paced_s=$(engine 1 "$paced")
echo "engine x1, paced, $paced pictures  ${paced_s} s"
rm -rf "$tmp/wget"
t0=$(now); wget -q -i "$tmp/list.paced" -P "$tmp/wget"; t1=$(now)
check_bytes "$tmp/wget" "$paced" wget
wget_paced=$(elapsed "$t0" "$t1")
echo "wget, $paced pictures            ${wget_paced} s"

echo
echo "files=$files size=$size threads=$threads latency_ms=$latency runs=$runs paced_files=$paced"
echo "engine x$threads vs aria2c -j $threads (best runs): $(rate "$files" "$best_engine") vs" \
     "$(rate "$files" "$best_aria") MiB/s, ratio $(echo "$best_aria $best_engine" | awk '{printf "%.2f", $1/$2}')x"
echo "engine x1 without pause vs wget: ratio $(echo "$wget_s $single" | awk '{printf "%.2f", $1/$2}')x;" \
     "vs a bare Fetch loop: $(echo "$fetch_s $single" | awk '{printf "%.2f", $1/$2}')x"
echo "engine x1 paced minus wget: $(echo "$paced_s $wget_paced" | awk '{printf "%.1f", $1 - $2}') s" \
     "for $((paced - 1)) pauses of 2 s ($((2 * (paced - 1))) s)"
echo "engine peak memory: $((engine_rss / 1024)) MiB (maxrss $engine_rss KiB)"
