#!/usr/bin/env bash
# Builds the Debian package as a release is built (Debian's hardening flags, no tests),
# checks it with lintian, desktop-file-validate and appstreamcli, unpacks it into a
# temporary root and runs the programs from there: pictrove-cli --version, a list
# against a loopback stand-in of the Sina blog, and the desktop program (offscreen)
# started with an owner address, as the menu entry starts it.
# Leaves the package in build/pkg/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/pkg
app_id=io.github.pictrove.Pictrove
fixtures=$PWD/tests/fixtures/sources

echo "== building the package =="
if [ ! -f "$build/CMakeCache.txt" ]; then
    CFLAGS="$(dpkg-buildflags --get CFLAGS)" \
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DPICTROVE_BUILD_TESTS=OFF -DPICTROVE_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/pictrove_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/pictrove_*.deb)
version=$(dpkg-deb -f "$deb" Version)
echo "$deb"

echo "== lintian =="
lintian --fail-on error "$deb"

work=$(mktemp -d)
server=""
desktop=""
cleanup() {
    [ -n "$desktop" ] && kill "$desktop" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"

echo "== desktop entry and AppStream metadata =="
desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
for icon in scalable/apps/$app_id.svg 48x48/apps/$app_id.png 128x128/apps/$app_id.png 256x256/apps/$app_id.png; do
    test -s "$root/usr/share/icons/hicolor/$icon" || { echo "missing icon $icon"; exit 1; }
done
test -s "$root/usr/share/man/man1/pictrove-cli.1.gz"
test -s "$root/usr/share/man/man1/pictrove.1.gz"
test -s "$root/usr/share/doc/pictrove/manual.html"

echo "== the unpacked programs =="
[ "$("$root/usr/bin/pictrove-cli" --version)" = "pictrove-cli $version" ]
[ "$("$root/usr/bin/pictrove" --version)" = "pictrove $version" ]

# The blog's article list pages, served on loopback; the programs reach them through
# the engine's test routing of blog.sina.com.cn.
site=$work/site
mkdir -p "$site/s" "$work/home" "$work/current"
cp "$fixtures/sina_articlelist_1.html" "$site/s/articlelist_1234567890_0_1.html"
cp "$fixtures/sina_articlelist_2.html" "$site/s/articlelist_1234567890_0_2.html"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$site" >"$work/server.log" 2>&1 &
server=$!
port=""
for _ in $(seq 100); do
    port=$(sed -n 's/^Serving HTTP on 127.0.0.1 port \([0-9]*\).*/\1/p' "$work/server.log")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the loopback server did not start"; cat "$work/server.log"; exit 1; }
export HOME=$work/home PICTROVE_TEST_CONNECT_TO="blog.sina.com.cn:80:127.0.0.1:$port"
unset XDG_DATA_HOME XDG_CONFIG_HOME
address=http://blog.sina.com.cn/s/articlelist_1234567890_0_1.html

cd "$work/current"
"$root/usr/bin/pictrove-cli" list "$address" >"$work/list.txt"
cat "$work/list.txt"
[ "$(wc -l <"$work/list.txt")" -eq 4 ]
grep -q "$(printf '^0001\t春游\t')" "$work/list.txt"
# Settings in the per-user data folder, nothing in the current one.
test -s "$HOME/.local/share/Pictrove/soft.dat"
[ -z "$(ls -A "$work/current")" ]

# The menu entry's "pictrove %U": the window lists the address once started.
requests_before=$(grep -c "GET /s/articlelist_1234567890_0_1.html" "$work/server.log")
QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 "$root/usr/bin/pictrove" "$address" \
    >"$work/desktop.log" 2>&1 &
desktop=$!
listed=""
for _ in $(seq 300); do
    if [ "$(grep -c "GET /s/articlelist_1234567890_0_1.html" "$work/server.log")" -gt "$requests_before" ]; then
        listed=yes
        break
    fi
    sleep 0.1
done
[ -n "$listed" ] || { echo "the desktop program did not list the address"; cat "$work/desktop.log"; exit 1; }
echo "== the package passed every check =="
