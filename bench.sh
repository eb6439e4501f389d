#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEK_BUILD_TESTS=OFF \
    -DZEK_BUILD_BENCHMARKS=ON
cmake --build build-bench -j"$(nproc)"
for program in build-bench/bench/zek_bench_*; do
    "$program" "$@"
done
