#!/usr/bin/env python3
"""A hostile Sina blog owner on loopback, for trying pictrove-cli by hand.

Serves blog.sina.com.cn, photo.blog.sina.com.cn and s1.sinaimg.cn over plain HTTP and
TLS (the test certificate in tests/fixtures/tls) and prints the environment that routes
pictrove-cli there. Owners:

  /u/1001  a page title and album names that clean to dots and blanks, two albums whose
           names clean to one folder, pictures that are no pictures (an empty body, a
           login page, a JSON answer) beside real ones
  /u/1002  one album whose pictures never finish arriving (for Ctrl-C)
  /u/1003  the owner page answers 502
  /u/1004  one album whose page is a gzip bomb (a small body inflating past 8 MiB)

  scripts/hostile-owner.py &              # prints: export PICTROVE_TEST_...
  eval "$(scripts/hostile-owner.py --env)"
  pictrove-cli download http://blog.sina.com.cn/u/1001 --save /tmp/s/a/b --failed-list /tmp/f.txt
"""
import gzip
import http.server
import json
import os
import socketserver
import ssl
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TLS = os.path.join(ROOT, "tests", "fixtures", "tls")
HOSTS = ["blog.sina.com.cn", "photo.blog.sina.com.cn", "s1.sinaimg.cn"]
PORTS_FILE = "/tmp/pictrove-hostile-owner.ports"

JPEG = b"\xff\xd8\xff\xe0" + b"\x00\x10JFIF" + b"p" * 3000
LOGIN_PAGE = (b"<!DOCTYPE html><html><head><title>\xe7\x99\xbb\xe5\xbd\x95</title></head><body>"
              b"<form action=\"https://login.sina.com.cn/sso/login.php\"></form></body></html>")

# owner uid -> (page title, [(album name, [(picture id, title, kind)])])
OWNERS = {
    "1001": (". .. /", [
        (". . .. &amp;amp;quot;", [("a1", "一", "jpeg"), ("a2", "二", "jpeg")]),
        ("Family \\/ 家", [("b1", "一", "jpeg"), ("b2", "二", "jpeg")]),
        ("Family 家", [("c1", "一", "jpeg"), ("c2", "二", "jpeg")]),
        (".", [("d1", "..", "jpeg"), ("d2", "../../x", "jpeg")]),
        ("Not pictures", [("e1", "empty", "empty"), ("e2", "login", "login"), ("e3", "json", "json"),
                          ("e4", "fine", "jpeg")]),
    ]),
    "1002": ("Slow", [("Stalled", [("s%d" % i, "p%d" % i, "stall") for i in range(1, 9)])]),
    "1004": ("Bomb", [("Bomb", [("x1", "x", "jpeg")])]),
}


def categories(uid):
    title, albums = OWNERS[uid]
    items = []
    for number, (name, pictures) in enumerate(albums, start=101):
        items.append({"ctg_id": str(number), "category": name, "pic_cnt": str(len(pictures)),
                      "ctg_url": "http://photo.blog.sina.com.cn/category/u/%s/s/%d" % (uid, number),
                      "big_url": "", "ctime": "1290000000"})
    return json.dumps({"code": "A00006", "data": {"total": len(items), "list": items}}, separators=(",", ":")).encode()


def category_page(uid, number):
    title, albums = OWNERS[uid]
    name, pictures = albums[number - 101]
    cells = "".join(
        '<div class="pt_list_item"><div class="pic"><a href="http://photo.blog.sina.com.cn/photo/%s/%s">'
        '<img class="pt_border" src="http://s1.sinaimg.cn/small/%s" title="%s" alt="" /></a></div></div>\n'
        % (uid, pid, pid, ptitle) for pid, ptitle, kind in pictures)
    return ('<html><head><title>%s_新浪博客</title></head><body><div class="pt_list">\n%s</div>'
            '<div class="SG_page"></div></body></html>' % (name, cells)).encode()


def picture_kind(pid):
    for title, albums in OWNERS.values():
        for name, pictures in albums:
            for p, t, kind in pictures:
                if p == pid:
                    return kind
    return None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (self.headers.get("Host", "?"), fmt % args))

    def answer(self, status, body, content_type="text/html; charset=utf-8", extra=()):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        host = self.headers.get("Host", "").split(":")[0]
        path = self.path.split("?")[0]
        query = self.path.partition("?")[2]
        if host == "blog.sina.com.cn" and path.startswith("/u/"):
            uid = path[3:]
            if uid == "1003":
                return self.answer(502, b"<html>Bad Gateway</html>")
            if uid not in OWNERS:
                return self.answer(404, b"")
            page = ('<html><head><title>%s_新浪博客</title></head><body>'
                    '<a href="http://blog.sina.com.cn/s/articlelist_%s_0_1.html">博文目录</a></body></html>'
                    % (OWNERS[uid][0], uid))
            return self.answer(200, page.encode())
        if host == "photo.blog.sina.com.cn" and path == "/services/ctg_list_ctg.php":
            uid = dict(kv.split("=", 1) for kv in query.split("&") if "=" in kv).get("uid", "")
            return self.answer(200, categories(uid), "application/json") if uid in OWNERS else self.answer(404, b"")
        if host == "photo.blog.sina.com.cn" and path.startswith("/category/u/"):
            parts = path.split("/")  # /category/u/UID/s/N/pageK
            uid, number, page = parts[3], int(parts[5]), parts[6] if len(parts) > 6 else "page1"
            if uid == "1004":
                bomb = gzip.compress(category_page(uid, number) + b" " * (12 * 1024 * 1024))
                return self.answer(200, bomb, extra=[("Content-Encoding", "gzip")])
            if page != "page1":
                return self.answer(200, b"<html><body></body></html>")
            return self.answer(200, category_page(uid, number))
        if host == "s1.sinaimg.cn" and path.startswith("/orignal/"):
            kind = picture_kind(path[len("/orignal/"):])
            if kind == "jpeg":
                return self.answer(200, JPEG + path.encode(), "image/jpeg")
            if kind == "empty":
                return self.answer(200, b"", "image/jpeg")
            if kind == "login":
                return self.answer(200, LOGIN_PAGE)
            if kind == "json":
                return self.answer(200, b'{"ok":0,"msg":"not found"}', "application/json")
            if kind == "stall":
                self.send_response(200)
                self.send_header("Content-Type", "image/jpeg")
                self.send_header("Content-Length", "100000")
                self.end_headers()
                self.wfile.write(JPEG[:100])
                self.wfile.flush()
                time.sleep(3600)
                return None
        return self.answer(404, b"")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    if "--env" in sys.argv:
        http_port, https_port = open(PORTS_FILE).read().split()
        entries = []
        for host in HOSTS:
            entries += ["%s:80:127.0.0.1:%s" % (host, http_port), "%s:443:127.0.0.1:%s" % (host, https_port)]
        print("export PICTROVE_TEST_CONNECT_TO=%s" % ",".join(entries))
        print("export PICTROVE_TEST_CA_FILE=%s" % os.path.join(TLS, "ca.pem"), flush=True)
        return
    plain = Server(("127.0.0.1", 0), Handler)
    secure = Server(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(TLS, "server.pem"), os.path.join(TLS, "server.key"))
    secure.socket = context.wrap_socket(secure.socket, server_side=True)
    with open(PORTS_FILE, "w") as ports:
        ports.write("%d %d\n" % (plain.server_port, secure.server_port))
    for server in (plain, secure):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    main_env = ["--env"]
    sys.argv += main_env
    main()
    threading.Event().wait()


if __name__ == "__main__":
    main()
