#!/bin/sh
# Installs what a fresh Debian 12 machine lacks to build and test QMXGantt.
# Run as root (or through sudo). Packages already present are skipped.
set -eu

packages="cmake ninja-build g++ pkg-config qt6-base-dev libxml2-dev libgtest-dev libgmock-dev
libbenchmark-dev dbus fonts-dejavu-core clang-14 libclang-rt-14-dev
qt6-tools-dev libqt6opengl6-dev qt6-svg-dev xvfb xauth xdotool poppler-utils desktop-file-utils appstream lintian dpkg-dev"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -z "$missing" ]; then
    echo "setup: all packages are installed"
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages:$missing" >&2
    echo "setup: run this script as root to install them" >&2
    exit 1
fi

echo "setup: installing$missing"
apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
