#!/usr/bin/env bash
# How long the launcher takes, with the mini home page on, from its start
# to the page's content: a loopback web server stands in for the maker's
# site (the web engine is told to use it as its proxy) and notes when the
# page and its picture are asked for. N runs (5 by default);
# prints the launcher window's time and the last request's time per run.
set -euo pipefail
OAKHALT=${1:-$(dirname "$0")/../build/release/bin/Oakhalt}
N=${2:-5}
. "$(dirname "$0")/../tests/e2e/session.sh"
e2e_start_launcher_display
mkdir -p "$E2E_WORK/site/ad/old"
printf '[Config]\nShowTips=1\n' >"$XDG_CONFIG_HOME/Oakhalt/Oakhalt.conf"

# A page of the size of a small news page: text and one picture.
python3 - "$E2E_WORK/site" <<'PY'
import sys, zlib, struct
root = sys.argv[1]
def png(w, h):
    raw = b''.join(b'\0' + bytes([(x * 7 + y) % 256 for x in range(w * 3)]) for y in range(h))
    chunk = lambda t, d: struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))
open(root + '/ad/old/pic.png', 'wb').write(png(320, 200))
body = '<p>' + '今日新闻 ' * 200 + '</p>'
open(root + '/ad/old/old1.html', 'w').write(
    '<html><head><meta charset="utf-8"></head><body><img src="pic.png">' + body + '</body></html>')
PY

log="$E2E_WORK/requests.log"
python3 - "$E2E_WORK/site" "$log" <<'PY' &
import http.server, sys, time, functools
root, log = sys.argv[1], sys.argv[2]
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args): pass
    def do_GET(self):
        # As a proxy it is asked for whole addresses.
        if self.path.startswith('http://'):
            self.path = '/' + self.path.split('/', 3)[3]
        super().do_GET()
        with open(log, 'a') as f:
            f.write('%d %s\n' % (int(time.time() * 1000), self.path))
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=root))
open(log + '.port', 'w').write(str(server.server_address[1]))
server.serve_forever()
PY
E2E_PIDS+=($!)
for _ in $(seq 50); do [ -s "$log.port" ] && break; sleep 0.1; done
export QTWEBENGINE_CHROMIUM_FLAGS="--proxy-server=http://127.0.0.1:$(cat "$log.port")"

now_ms() { date +%s%3N; }
windows=()
pages=()
for _ in $(seq "$N"); do
    : >"$log"
    t0=$(now_ms)
    "$OAKHALT" &
    app=$!
    e2e_wait_window '^Lumeno录音机$' 20 >/dev/null || e2e_fail "no launcher window"
    windows+=($(( $(now_ms) - t0 )))
    for _ in $(seq 100); do grep -q 'pic.png' "$log" && break; sleep 0.05; done
    grep -q 'pic.png' "$log" || e2e_fail "the page never asked for its picture"
    pages+=($(( $(tail -1 "$log" | cut -d' ' -f1) - t0 )))
    kill "$app"; wait "$app" 2>/dev/null || true
done
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
echo "launcher window: ${windows[*]} ms, median $(median "${windows[@]}") ms"
echo "page and picture served: ${pages[*]} ms, median $(median "${pages[@]}") ms"
