#!/usr/bin/env bash
# Builds ZEK for WebAssembly with Debian's Emscripten into build-web/ (or the folder given):
# the page, build-web/site/ (index.html, zek.css, zek.js, zip.js and zek-page.js, the program with its
# WebAssembly inside), which opens from the file system or any static web server; and
# zek-generate as a Node program, build-web/src/zek-generate.js. Both write the same files as
# the desktop's (scripts/check-golden-files.sh build-web/src/zek-generate.js node;
# node tests/web/page_golden_check.mjs build-web/site/zek-page.js tests/golden).
#   scripts/build-web.sh [BUILD_FOLDER]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-web}"
# Emscripten's tools load Debian's acorn, which a Node from elsewhere does not look for.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/wasm32-emscripten.cmake" \
    -DZEK_WARNINGS_AS_ERRORS=ON -DZEK_BUILD_UI=OFF -DZEK_BUILD_TESTS=OFF \
    -DZEK_PACKAGE_FORMATS=OFF
cmake --build "$build" -j"$(nproc)" --target zek-generate zek-page
mkdir -p "$build/site"
cp "$root"/web/index.html "$root"/web/zek.css "$root"/web/zek.js "$root"/web/zip.js \
    "$build/src/zek-page.js" "$build/site/"
