#!/bin/sh
# A short libFuzzer run over the XML project reader (clang-14).
# Usage: scripts/fuzz.sh [SECONDS]   (default 60); exits non-zero on a finding.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QMX_FUZZ_BUILD_DIR:-"$root/build-fuzz"}
seconds=${1:-60}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DQMX_FUZZ=ON -DQMX_BENCHMARKS=OFF
cmake --build "$build" --target xml_reader_fuzzer
mkdir -p "$build/xml-corpus"
"$build/bin/xml_reader_fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -dict="$root/fuzz/xml_reader.dict" "$build/xml-corpus" "$root/fuzz/corpus/xml_reader"
