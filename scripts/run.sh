#!/bin/sh
# Sets the machine up, builds QMXGantt, registers its components in the
# user's registry store and starts the display program on a plan: the
# example plan when no file is given.
#
#   scripts/run.sh [PLAN]
#
# Packages that are missing are installed through sudo when not run as root.
# Takes the same environment as build.sh.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QMX_BUILD_DIR:-"$root/build"}
plan=${1:-"$root/examples/example.qmxg"}

# A window needs a display; say so before a long build.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "run: no display to show QMXGantt on (neither DISPLAY nor WAYLAND_DISPLAY is set)" >&2
    exit 1
fi
if [ ! -f "$plan" ]; then
    echo "run: no such plan: $plan" >&2
    exit 1
fi

if [ "$(id -u)" -eq 0 ] || "$root/scripts/setup.sh" >/dev/null 2>&1; then
    "$root/scripts/setup.sh" >/dev/null
elif command -v sudo >/dev/null 2>&1; then
    sudo "$root/scripts/setup.sh"
else
    "$root/scripts/setup.sh"
fi

# Builds and registers the component libraries in the user's registry store.
QMX_REGISTER=1 "$root/scripts/build.sh"

exec "$build/bin/QMXGanttDisplay" "$plan"
