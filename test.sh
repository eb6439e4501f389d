#!/usr/bin/env bash
# Builds ZEK with AddressSanitizer and UndefinedBehaviorSanitizer (installing what is
# missing) and runs every test. Warnings are errors here.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DZEK_SANITIZE=ON -DZEK_WARNINGS_AS_ERRORS=ON -DZEK_BUILD_BENCHMARKS=ON
cmake --build build-test -j"$(nproc)"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
