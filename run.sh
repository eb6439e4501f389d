#!/usr/bin/env bash
# Builds ZEK (installing what is missing) and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEK_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"
exec build/src/zek "$@"
