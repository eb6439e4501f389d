#!/usr/bin/env bash
# Installs into a temporary prefix and checks that a desktop program's files land where the
# desktop looks for them; desktop-file-validate checks the menu entry where it is installed.
set -euo pipefail
build_dir="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" > /dev/null
for file in bin/zek-generate share/applications/zek.desktop \
    share/icons/hicolor/scalable/apps/zek.svg share/zek/examples/regression_setup.TXT \
    share/man/man1/zek-generate.1; do
    if [ ! -s "$prefix/$file" ]; then
        echo "missing after install: $file"
        exit 1
    fi
done
if [ -x "$build_dir/src/zek" ] && [ ! -x "$prefix/bin/zek" ]; then
    echo "missing after install: bin/zek"
    exit 1
fi
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$prefix/share/applications/zek.desktop"
fi
"$prefix/bin/zek-generate" --version | grep -Eqx "zek-generate [0-9]+\.[0-9]+\.[0-9]+"
echo "install: 1 passed, 0 failed"
