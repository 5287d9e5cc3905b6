#!/usr/bin/env python3
"""A Weibo owner of live photos, GIFs and videos on loopback, for trying pictrove-cli by
hand and for scripts/bench-weibo-media.sh.

Serves weibo.com (profile, picture wall, posts), photo.weibo.com (a login page: the
photo service wants a login, so the wall is listed) and the media hosts over plain
HTTP and TLS (the test certificate in tests/fixtures/tls), and prints the environment
that routes pictrove-cli there. The owner is https://weibo.com/u/1234567890: POSTS
posts, a page of 20 wall items each; post k is, by k % 4,
  0  three live photos (a still and a .mov whose address carries Expires and ssig)
  1  a video with a playback list of two sizes (the larger one is fetched)
  2  a mixed post: a picture, a video, a live photo
  3  a GIF and two pictures, the first of them also named by the wall itself
Every answer waits LATENCY ms. Media bodies are SIZE bytes (videos 4 x SIZE).

  scripts/weibo-media-owner.py [--posts N] [--latency-ms N] [--size BYTES] [--http-media] &
  eval "$(scripts/weibo-media-owner.py --env)"
  pictrove-cli download https://weibo.com/u/1234567890 --albums 1 --save /tmp/w

--http-media gives media addresses over plain HTTP (the API stays HTTPS, as the program
asks it); --list prints every media address of the owner, one a line, for the peers of
the benchmark (as http://127.0.0.1:PORT/HOST/PATH, which this server also answers).
"""
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
FIXTURES = os.path.join(ROOT, "tests", "fixtures", "sources")
HOSTS = ["weibo.com", "photo.weibo.com", "wx1.sinaimg.cn", "wx3.sinaimg.cn", "livephoto.us.sinaimg.cn",
         "f.video.weibocdn.com"]
PORTS_FILE = "/tmp/pictrove-weibo-media-owner.ports"
UID = "1234567890"
PER_PAGE = 20


def option(name, default):
    return int(sys.argv[sys.argv.index(name) + 1]) if name in sys.argv else default


POSTS = option("--posts", 12)
LATENCY = option("--latency-ms", 0) / 1000.0
SIZE = option("--size", 3000)
SCHEME = "http" if "--http-media" in sys.argv else "https"

JPEG = b"\xff\xd8\xff\xe0" + b"\x00\x10JFIF"
GIF = b"GIF89a"
MOV = b"\x00\x00\x00\x14ftypqt  "
MP4 = b"\x00\x00\x00\x18ftypmp42"


def mid(k):
    return str(4900000000000000 + k)


def pid(k, n):
    return "4a1b2c3dgy1hp%05d%02d" % (k, n)


def picture(k, n, kind="pic"):
    p = pid(k, n)
    info = {"pic_id": p, "type": kind,
            "largest": {"url": "%s://wx3.sinaimg.cn/large/%s.%s" % (SCHEME, p, "gif" if kind == "gif" else "jpg")}}
    if kind == "livephoto":
        info["video"] = "%s://livephoto.us.sinaimg.cn/%s.mov?Expires=1709620000&ssig=Zx%%2B%d&KID=unistore,video" % (
            SCHEME, p, k)
    return p, info


def video(k, n):
    base = "%s://f.video.weibocdn.com/o0/%s%02d" % (SCHEME, mid(k), n)
    return {"type": "video", "object_id": "1034:%s%02d" % (mid(k), n), "media_info": {
        "media_id": "%s%02d" % (mid(k), n),
        "stream_url": base + "_ld.mp4?label=mp4_ld&Expires=1709620000&ssig=a",
        "playback_list": [
            {"play_info": {"url": base + "_hd.mp4?label=mp4_720p&Expires=1709620000&ssig=b", "quality_desc": "高清",
                           "width": 1280, "height": 720}},
            {"play_info": {"url": base + "_ld.mp4?label=mp4_ld&Expires=1709620000&ssig=c", "quality_desc": "流畅",
                           "width": 640, "height": 360}}]}}


def post(k):
    status = {"ok": 1, "idstr": mid(k), "created_at": "Tue Mar 05 12:34:%02d +0800 2024" % (k % 60),
              "text_raw": "第%d条" % k, "pic_ids": [], "pic_infos": {}}
    shape = k % 4
    if shape in (0, 3):
        kinds = ["livephoto"] * 3 if shape == 0 else ["gif", "pic", "pic"]
        for n, kind in enumerate(kinds):
            p, info = picture(k, n, kind)
            status["pic_ids"].append(p)
            status["pic_infos"][p] = info
        status["pic_num"] = len(kinds)
    elif shape == 1:
        status["page_info"] = video(k, 0)
    else:
        items = [{"type": "pic", "id": pid(k, 0), "data": picture(k, 0)[1]},
                 {"type": "video", "data": video(k, 1)},
                 {"type": "pic", "id": pid(k, 2), "data": picture(k, 2, "livephoto")[1]}]
        status["mix_media_info"] = {"items": items}
    return status


def wall(since):
    start = int(since or 0)
    items = []
    for k in range(start + 1, min(start + PER_PAGE, POSTS) + 1):
        shape = k % 4
        if shape == 3:
            items.append({"pid": pid(k, 1), "mid": mid(k), "type": "pic"})
        items.append({"mid": mid(k), "type": ["livephoto", "video", "pic", "gif"][shape]})
    nxt = start + PER_PAGE
    return {"ok": 1, "data": {"since_id": str(nxt) if nxt < POSTS else 0, "list": items}}


def media_addresses():
    """Every file a whole download saves, once each, as the engine picks them."""
    found = []
    for k in range(1, POSTS + 1):
        status = post(k)
        for p in status["pic_ids"]:
            info = status["pic_infos"][p]
            found.append(info["largest"]["url"])
            if "video" in info:
                found.append(info["video"])
        if "page_info" in status:
            found.append(status["page_info"]["media_info"]["playback_list"][0]["play_info"]["url"])
        for item in status.get("mix_media_info", {}).get("items", []):
            data = item["data"]
            if item["type"] == "video":
                found.append(data["media_info"]["playback_list"][0]["play_info"]["url"])
            else:
                found.append(data["largest"]["url"])
                if "video" in data:
                    found.append(data["video"])
    return found


def body_for(path):
    name = path.rsplit("/", 1)[-1]
    if name.endswith(".mov"):
        return MOV + b"m" * (SIZE - len(MOV)), "video/quicktime"
    if name.endswith(".mp4"):
        return MP4 + b"v" * (4 * SIZE - len(MP4)), "video/mp4"
    if name.endswith(".gif"):
        return GIF + b"g" * (SIZE - len(GIF)), "image/gif"
    return JPEG + b"p" * (SIZE - len(JPEG)), "image/jpeg"


def fixture(name):
    with open(os.path.join(FIXTURES, name), "rb") as f:
        return f.read()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Head and body leave in one write, at once: written apart, Nagle's algorithm and the
    # client's delayed acknowledgement hold every kept-alive answer for 40 ms.
    disable_nagle_algorithm = True
    wbufsize = 1 << 16

    def log_message(self, fmt, *args):
        if "--quiet" not in sys.argv:
            sys.stderr.write("%s %s\n" % (self.headers.get("Host", "?"), fmt % args))

    def answer(self, status, body, content_type="application/json;charset=UTF-8"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if LATENCY:
            time.sleep(LATENCY)
        host = self.headers.get("Host", "").split(":")[0]
        path, _, query = self.path.partition("?")
        if host.startswith("127.0.0.1") or host == "":
            # The peers' form: /HOST/PATH.
            host, _, rest = path[1:].partition("/")
            path = "/" + rest
        params = dict(kv.split("=", 1) for kv in query.split("&") if "=" in kv)
        if host == "photo.weibo.com":
            return self.answer(200, fixture("weibo_login_page.html"), "text/html; charset=utf-8")
        if host == "weibo.com" and path == "/ajax/profile/info":
            return self.answer(200, fixture("weibo_api_profile.json"))
        if host == "weibo.com" and path == "/ajax/profile/getImageWall":
            since = params.get("sinceid", "0")
            return self.answer(200, json.dumps(wall(since), ensure_ascii=False).encode())
        if host == "weibo.com" and path == "/ajax/statuses/show":
            k = int(params.get("id", "0")) - 4900000000000000
            if 1 <= k <= POSTS:
                return self.answer(200, json.dumps(post(k), ensure_ascii=False).encode())
            return self.answer(200, b'{"ok":0,"message":"\xe6\x9a\x82\xe6\x97\xa0\xe6\x9f\xa5\xe7\x9c\x8b\xe6\x9d\x83\xe9\x99\x90","error_code":20112}')
        if host in HOSTS[2:]:
            body, content_type = body_for(path)
            return self.answer(200, body, content_type)
        return self.answer(404, b"")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    request_queue_size = 64


def main():
    if "--env" in sys.argv:
        http_port, https_port = open(PORTS_FILE).read().split()
        entries = []
        for host in HOSTS:
            entries += ["%s:80:127.0.0.1:%s" % (host, http_port), "%s:443:127.0.0.1:%s" % (host, https_port)]
        print("export PICTROVE_TEST_CONNECT_TO=%s" % ",".join(entries))
        print("export PICTROVE_TEST_CA_FILE=%s" % os.path.join(TLS, "ca.pem"), flush=True)
        return
    if "--list" in sys.argv:
        http_port = open(PORTS_FILE).read().split()[0]
        for address in media_addresses():
            rest = address.split("://", 1)[1]
            print("http://127.0.0.1:%s/%s" % (http_port, rest))
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
    sys.argv.append("--env")
    main()
    threading.Event().wait()


if __name__ == "__main__":
    main()
