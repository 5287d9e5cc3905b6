#!/usr/bin/env bash
# Builds Pictrove (Release) and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTROVE_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target pictrove pictrove-cli
# Chromium's sandbox refuses to run as root; the login browser needs it off there.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
exec build/release/src/ui/pictrove "$@"
