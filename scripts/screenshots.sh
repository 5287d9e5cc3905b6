#!/usr/bin/env bash
# Renders the main window (an owner's albums listed, a download under way) and the
# settings dialogs offscreen, against loopback stand-ins of the services, into
# docs/screenshots/ for the README and the AppStream metadata. Rerun it when the
# window changes, and look at the pictures before committing them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTROVE_BUILD_TESTS=ON >/dev/null
cmake --build build/test --target pictrove_screenshots
QT_QPA_PLATFORM=offscreen build/test/tests/ui/pictrove_screenshots docs/screenshots
