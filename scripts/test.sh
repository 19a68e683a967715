#!/bin/sh
# Sets up the machine, builds, and runs the whole test suite.
# Takes the same environment as build.sh.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QMX_BUILD_DIR:-"$root/build"}

"$root/scripts/setup.sh"
# Tests use registry stores of their own; the user's is left alone here.
QMX_REGISTER=0 "$root/scripts/build.sh"
ctest --test-dir "$build" --output-on-failure -j2
