#!/usr/bin/env bash
# Builds Pictrove with its tests (Release) and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTROVE_BUILD_TESTS=ON >/dev/null
cmake --build build/test
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
cd build/test && ctest --output-on-failure --parallel "$(nproc)" "$@"
