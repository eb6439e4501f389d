#!/usr/bin/env bash
# Runs zek-generate on every golden setup and compares its four files (data, information,
# parameters, answer key) byte for byte with the expected ones: the check that a build for another machine writes the same bytes. Each
# setup runs twice in its folder, so the second run replaces the first one's files, and no
# file of the program's own may be left behind.
#   scripts/check-golden-files.sh ZEK_GENERATE [RUNNER...]
#   scripts/check-golden-files.sh build/zek-generate
#   scripts/check-golden-files.sh build-arm64/src/zek-generate qemu-aarch64 -L /usr/aarch64-linux-gnu
#   scripts/check-golden-files.sh build-windows/src/zek-generate.exe wine64
set -euo pipefail
generator="$(realpath "$1")"
shift
golden="$(cd "$(dirname "$0")/../tests/golden" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Under an emulator (qemu, Wine) a run can die of the emulator itself, with nothing on its
# standard error (Wine has lost its server's connection so): such a run is tried once more and
# said, while a run that fails natively, or twice, or with a message of the program's own,
# fails the check.
run_generator() {
    local name="$1"
    shift
    local tries=1
    [ "${#runner[@]}" -gt 0 ] && tries=2
    for ((try = 1; try <= tries; try++)); do
        status=0
        (cd "$work/$name" &&
            "${runner[@]}" "$generator" input.TXT -o data.csv "$@" > stdout 2> stderr) ||
            status=$?
        if [ "$status" -eq 0 ]; then
            return 0
        fi
        if [ -s "$work/$name/stderr" ] || [ "$try" -eq "$tries" ]; then
            return 1
        fi
        echo "$name: the emulated run ended with exit $status and no message; running it again"
    done
}

runner=("$@")
failed=0
identical=0
status=0
for case_folder in "$golden"/*/; do
    name="$(basename "$case_folder")"
    mkdir "$work/$name"
    cp "$case_folder/input.TXT" "$work/$name/"
    options=()
    read -r -a options < "$case_folder/options" || true
    for round in first second; do
        if ! run_generator "$name" "${options[@]}"; then
            echo "$name: zek-generate failed in the $round run (exit $status):"
            cat "$work/$name/stderr"
            failed=1
            continue
        fi
        # The information file names the data file by its full path, which differs by
        # machine.
        sed -i -E 's/^  .*data\.csv\r$/  <data file>\r/' "$work/$name/data_info.TXT"
        sed -i -E '2s/^Data file: .*\r$/Data file: <data file>\r/' "$work/$name/data_key.TXT"
        for file in data.csv data_info.TXT data_setup.TXT data_key.TXT; do
            if cmp -s "$case_folder/$file" "$work/$name/$file"; then
                identical=$((identical + 1))
            else
                echo "$name/$file differs from the expected file in the $round run"
                failed=1
            fi
        done
    done
    if compgen -G "$work/$name/.zek-*" > /dev/null; then
        echo "$name: temporary files were left behind:" "$work/$name"/.zek-*
        failed=1
    fi
done
echo "$identical files identical to the golden ones (every setup run twice)"
exit "$failed"
