#!/usr/bin/env bash
# Time from launching the desktop program to its main window on screen, under Xvfb,
# RUNS cold starts (a fresh data folder each) for each way the configuration service
# can behave:
#   unreachable  its endpoint swallows the connection (a blackholed address)
#   slow         it answers after 2 s
#   prompt       it answers at once
# Prints median, min and max per case in milliseconds. Needs xvfb and xdotool
# (apt-get install xvfb xdotool).
#
#   scripts/bench-start.sh            # 5 starts per case
#   RUNS=9 scripts/bench-start.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=${BUILD_DIR:-build/release}
runs=${RUNS:-5}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target pictrove >/dev/null
program="$root/$build/src/ui/pictrove"

tmp=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$tmp"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -1 "$tmp/display")

# The configuration service: /prompt answers at once, /slow after 2 s.
cat > "$tmp/service.py" <<'EOF'
import http.server, socketserver, sys, time
answer = open(sys.argv[1], 'rb').read()
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith('/slow'):
            time.sleep(2)
        try:
            self.send_response(200)
            self.send_header('Content-Type', 'text/plain; charset=utf-8')
            self.send_header('Content-Length', str(len(answer)))
            self.end_headers()
            self.wfile.write(answer)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the program was ended before the answer came
    def log_message(self, *args):
        pass
class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
server = Server(('127.0.0.1', 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
EOF
python3 "$tmp/service.py" tests/fixtures/sources/config-answer.txt > "$tmp/port" &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/port" ] && break; sleep 0.05; done
port=$(head -1 "$tmp/port")

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# One start: a fresh data folder holding only the extension settings with the
# endpoint; prints the milliseconds until a visible window titled "Pictrove" exists.
start_once() {
    local endpoint=$1 folder
    folder=$(mktemp -d "$tmp/data.XXXXXX")
    printf '[来源配置]\n地址=%s\n' "$endpoint" > "$folder/下载器扩展设置.ini"
    local began ended pid
    began=$(now_ms)
    (cd "$folder" && QTWEBENGINE_DISABLE_SANDBOX=1 HOME="$folder" XDG_DATA_HOME="$folder/share" \
        exec "$program" --data-dir "$folder" >/dev/null 2>"$folder/stderr") &
    pid=$!
    until xdotool search --onlyvisible --name '^Pictrove$' >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || {
            echo "the program ended before its window showed:" >&2
            cat "$folder/stderr" >&2
            exit 1
        }
        sleep 0.005
    done
    ended=$(now_ms)
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo $((ended - began))
}

printf '%-12s %8s %8s %8s   (ms, %d starts)\n' case median min max "$runs"
for case in unreachable slow prompt; do
    case $case in
        unreachable) endpoint=http://10.255.255.1/sources.txt ;;
        slow) endpoint=http://127.0.0.1:$port/slow ;;
        prompt) endpoint=http://127.0.0.1:$port/prompt ;;
    esac
    times=()
    for _ in $(seq "$runs"); do times+=("$(start_once "$endpoint")"); done
    sorted=$(printf '%s\n' "${times[@]}" | sort -n)
    median=$(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p")
    printf '%-12s %8s %8s %8s\n' "$case" "$median" "$(echo "$sorted" | head -1)" "$(echo "$sorted" | tail -1)"
done
