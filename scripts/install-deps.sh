#!/usr/bin/env bash
# Installs the Debian 12 packages Pictrove builds, runs and tests with, only those
# that are missing. Uses sudo when not run as root.
set -euo pipefail

# Installed without recommended packages, so everything needed is named here: the
# platform plugins (xcb, offscreen) are only recommended by Qt's GUI library, and
# the download archive's SQLite driver is a plugin of its own. The
# last line is for the package check (scripts/check-package.sh): dpkg-shlibdeps
# (with file) computes the dependencies; lintian, desktop-file-validate and
# appstreamcli check the package; python3 serves the loopback pages it lists. clang
# and its libFuzzer runtime build the fuzz targets (scripts/fuzz.sh). ccache keeps
# compiled objects between builds of the same sources (the build uses it when found).
# libqrencode draws the scan-to-log-in's code; zbar-tools (zbarimg) reads it back in
# the tests.
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-webengine-dev libqt6opengl6-dev libqt6sql6-sqlite
    libcurl4-openssl-dev libssl-dev zlib1g-dev ca-certificates libqrencode-dev
    libgtest-dev zbar-tools
    xvfb xauth libgl1-mesa-dri fonts-wqy-microhei
    dpkg-dev file lintian desktop-file-utils appstream python3
    clang libclang-rt-14-dev
    ccache
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
