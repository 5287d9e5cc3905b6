#!/usr/bin/env bash
# Peak memory of `pictrove-cli list` when a Weibo owner's album list is hostile:
#   gzip-bomb   1 MiB of gzip that inflates to 1 GiB of spaces
#   plain-50mb  a 50 MiB page without compression
#   ordinary    the real-sized fixture page, for comparison
# A loopback stand-in (HTTP and HTTPS, the tests' certificates) answers for weibo.com
# and photo.weibo.com; the program reaches it through PICTROVE_TEST_CONNECT_TO.
# Prints the maximum resident set size of each run (GNU time).
#
#   scripts/bench-memory.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=${BUILD_DIR:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target pictrove-cli >/dev/null
cli="$root/$build/src/cli/pictrove-cli"
[ -x /usr/bin/time ] || { echo "needs GNU time (apt-get install time)" >&2; exit 1; }

tmp=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

cat > "$tmp/standin.py" <<'EOF'
import http.server, socketserver, ssl, sys, threading, zlib
fixtures, tls = sys.argv[1], sys.argv[2]
owner = open(fixtures + '/weibo_owner_spaced.html', 'rb').read()
albums = open(fixtures + '/weibo_albums.json', 'rb').read()
squeeze = zlib.compressobj(9, zlib.DEFLATED, 31)
bomb = b''.join(squeeze.compress(b' ' * (1 << 20)) for _ in range(1024)) + squeeze.flush()
plain = b'x' * (50 << 20)
mode = {'now': 'ordinary'}

class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'
    def do_GET(self):
        host = self.headers.get('Host', '').split(':')[0]
        if self.path.startswith('/mode/'):
            mode['now'] = self.path[len('/mode/'):]
            body, gz = b'ok', False
        elif host == 'weibo.com':
            body, gz = owner, False
        elif mode['now'] == 'gzip-bomb':
            body, gz = bomb, True
        elif mode['now'] == 'plain-50mb':
            body, gz = plain, False
        else:
            body, gz = albums, False
        try:
            self.send_response(200)
            self.send_header('Content-Type', 'application/json; charset=utf-8')
            if gz:
                self.send_header('Content-Encoding', 'gzip')
            self.send_header('Content-Length', str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            pass  # the client gave up on a page it will not hold
    def log_message(self, *args):
        pass

class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    def handle_error(self, request, address):
        pass

plain_server = Server(('127.0.0.1', 0), Handler)
tls_server = Server(('127.0.0.1', 0), Handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(tls + '/server.pem', tls + '/server.key')
tls_server.socket = context.wrap_socket(tls_server.socket, server_side=True)
threading.Thread(target=tls_server.serve_forever, daemon=True).start()
print(plain_server.server_address[1], tls_server.server_address[1], flush=True)
plain_server.serve_forever()
EOF
python3 "$tmp/standin.py" tests/fixtures/sources tests/fixtures/tls > "$tmp/ports" &
server_pid=$!
for _ in $(seq 200); do [ -s "$tmp/ports" ] && break; sleep 0.05; done
read -r http_port https_port < "$tmp/ports"

entries=()
for host in weibo.com photo.weibo.com; do
    entries+=("$host:80:127.0.0.1:$http_port" "$host:443:127.0.0.1:$https_port")
done
export PICTROVE_TEST_CONNECT_TO=$(IFS=,; echo "${entries[*]}")
export PICTROVE_TEST_CA_FILE="$root/tests/fixtures/tls/ca.pem"

printf '%-12s %12s\n' page 'peak RSS'
for mode in ordinary gzip-bomb plain-50mb; do
    curl -s "http://127.0.0.1:$http_port/mode/$mode" >/dev/null
    mkdir -p "$tmp/data-$mode"
    /usr/bin/time -f '%M' -o "$tmp/rss" "$cli" --data-dir "$tmp/data-$mode" list https://weibo.com/u/1234567890 \
        >/dev/null 2>&1 || true
    printf '%-12s %9d KiB\n' "$mode" "$(tail -1 "$tmp/rss")"
done
