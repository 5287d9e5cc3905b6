#!/usr/bin/env bash
# A Weibo owner of live photos, GIFs, videos and mixed posts (scripts/weibo-media-owner.py,
# POSTS posts at LATENCIES ms per answer) downloaded whole:
#   - by `pictrove-cli download` as a user runs it, listing included: the picture wall's
#     pages and one post (statuses/show) per item that needs it, asked one after the
#     other as the service wants, with the page interval at 0 ([新浪微博] 翻页间隔);
#   - by `aria2c -j THREADS -i LIST` and `curl --parallel --parallel-max THREADS` on the
#     same files as one flat list of addresses, from the same server;
# RUNS times each, alternating, best run kept; the ratios are the peers' time over the
# engine's, measured in the same run.
#
#   scripts/bench-weibo-media.sh
#   BUILD_DIR=build/test RUNS=1 LATENCIES=30 scripts/bench-weibo-media.sh   # a quicker look
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build-bench-download}
threads=${THREADS:-15}
size=${SIZE:-204800}
runs=${RUNS:-3}
latencies=${LATENCIES:-0 30}
posts=${POSTS:-100}

command -v aria2c >/dev/null || { echo "aria2c is needed" >&2; exit 1; }
command -v curl >/dev/null || { echo "curl is needed" >&2; exit 1; }

if [ ! -x "$build/src/cli/pictrove-cli" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTROVE_BUILD_GUI=OFF >/dev/null
    cmake --build "$build" -j2 --target pictrove-cli >/dev/null
fi
cli="$build/src/cli/pictrove-cli"

tmp=$(mktemp -d)
server_pid=
stop_server() {
    [ -n "$server_pid" ] && { kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; }
    server_pid=
}
trap 'stop_server; rm -rf "$tmp"' EXIT

mkdir -p "$tmp/data"
printf '[新浪微博]\n翻页间隔=0\n' > "$tmp/data/下载器扩展设置.ini"

now() { date +%s.%N; }
elapsed() { echo "$1 $2" | awk '{printf "%.3f", $2 - $1}'; }
best() { echo "$1 $2" | awk '{print ($2<$1)?$2:$1}'; }
ratio() { echo "$1 $2" | awk '{printf "%.2f", $1/$2}'; }
bytes_in() { find "$1" -type f ! -name '*.vrx' -printf '%s\n' | awk '{s += $1} END {print s + 0}'; }
files_in() { find "$1" -type f ! -name '*.vrx' | wc -l; }

rows=()
for latency in $latencies; do
    python3 scripts/weibo-media-owner.py --posts "$posts" --latency-ms "$latency" --size "$size" --http-media \
        --quiet > "$tmp/server.out" 2>&1 &
    server_pid=$!
    for _ in $(seq 100); do grep -q PICTROVE_TEST_CA_FILE "$tmp/server.out" 2>/dev/null && break; sleep 0.05; done
    eval "$(cat "$tmp/server.out")"
    python3 scripts/weibo-media-owner.py --posts "$posts" --size "$size" --http-media --list > "$tmp/list"
    total=$(wc -l < "$tmp/list")
    awk '{print; printf "  out=%d\n", NR - 1}' "$tmp/list" > "$tmp/aria2.in"
    awk '{printf "url = \"%s\"\noutput = \"%s/curl/%d\"\n", $0, dir, NR - 1}' dir="$tmp" "$tmp/list" > "$tmp/curl.cfg"
    be=999999 ba=999999 bc=999999 rss=0 expected=
    for run in $(seq "$runs"); do
        rm -rf "$tmp/engine" "$tmp/data/archive.sqlite"*; t0=$(now)
        /usr/bin/time -f '%M' -o "$tmp/rss" "$cli" --data-dir "$tmp/data" download https://weibo.com/u/1234567890 \
            --albums 1 --save "$tmp/engine" --threads "$threads" > /dev/null 2> "$tmp/engine.err"
        t1=$(now); s=$(elapsed "$t0" "$t1"); be=$(best "$be" "$s")
        r=$(tail -1 "$tmp/rss"); [ "$r" -gt "$rss" ] && rss=$r
        got=$(files_in "$tmp/engine")
        [ "$got" -eq "$total" ] || { echo "engine saved $got files, expected $total" >&2; tail -3 "$tmp/engine.err" >&2; exit 1; }
        expected=$(bytes_in "$tmp/engine")

        rm -rf "$tmp/aria2"; t0=$(now)
        aria2c -q -j "$threads" -i "$tmp/aria2.in" -d "$tmp/aria2"
        t1=$(now); a=$(elapsed "$t0" "$t1"); ba=$(best "$ba" "$a")
        [ "$(bytes_in "$tmp/aria2")" -eq "$expected" ] || { echo "aria2c saved other bytes" >&2; exit 1; }

        rm -rf "$tmp/curl"; mkdir -p "$tmp/curl"; t0=$(now)
        curl -s --parallel --parallel-max "$threads" -K "$tmp/curl.cfg" 2>/dev/null
        t1=$(now); c=$(elapsed "$t0" "$t1"); bc=$(best "$bc" "$c")
        [ "$(bytes_in "$tmp/curl")" -eq "$expected" ] || { echo "curl saved other bytes" >&2; exit 1; }
        echo "latency ${latency} ms, $posts posts ($total files), run $run: engine $s s, aria2c $a s, curl $c s"
    done
    rows+=("| $posts posts, $total files | $latency ms | $be s | $ba s | $bc s | $(ratio "$ba" "$be")× | $(ratio "$bc" "$be")× | $((rss / 1024)) MiB |")
    stop_server
done

echo
echo "threads=$threads size=$size (videos 4x) runs=$runs (best of each)"
echo "| owner | latency | pictrove-cli | aria2c -j $threads | curl --parallel $threads | engine vs aria2c | engine vs curl | engine peak memory |"
echo "|---|---|---|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
