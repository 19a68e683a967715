#!/bin/sh
# Configures and builds QMXGantt with Ninja, then registers the built
# components in the user's registry store so that the programs of this build
# find them. Environment:
#   QMX_BUILD_DIR   build folder (default: build)
#   QMX_SANITIZE    ON to build with AddressSanitizer and UBSan (default: OFF)
#   QMX_BUILD_TYPE  CMake build type (default: RelWithDebInfo)
#   QMX_REGISTER    0 to skip the registration step
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QMX_BUILD_DIR:-"$root/build"}

# A compiler cache, where the machine has one, keeps rebuilds of other
# checkouts of the same tree cheap.
launcher=""
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi

cmake -S "$root" -B "$build" -G Ninja $launcher \
    -DCMAKE_BUILD_TYPE="${QMX_BUILD_TYPE:-RelWithDebInfo}" \
    -DQMX_SANITIZE="${QMX_SANITIZE:-OFF}"
cmake --build "$build"

if [ "${QMX_REGISTER:-1}" != 0 ]; then
    for library in "$build"/lib/libQMX*.so; do
        [ -e "$library" ] || continue
        "$build/bin/qmxregsvr" "$library"
    done
fi
