#!/usr/bin/env bash
# Makes a class set from a roster, with handouts and a Moodle quiz, with two builds of
# zek-generate and compares what the students receive byte for byte: the check that a build
# for another machine writes the same handouts, quiz, class key and datasets.
#   scripts/check-roster-set.sh REFERENCE ZEK_GENERATE [RUNNER...]
#   scripts/check-roster-set.sh build/src/zek-generate build-web/src/zek-generate.js node
#   scripts/check-roster-set.sh build/src/zek-generate build-windows/src/zek-generate.exe wine
set -euo pipefail
reference="$(realpath "$1")"
generator="$(realpath "$2")"
shift 2
golden="$(cd "$(dirname "$0")/../tests/golden" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

make_set() {
    local folder="$1"
    shift
    mkdir -p "$folder"
    cp "$golden/65_corr5_reversed_items_mean/input.TXT" "$folder/setup.TXT"
    printf '\xef\xbb\xbfStudent ID;First name;Last name\r\ns1;Fran\xc3\xa7oise;M\xc3\xbcller\r\ns2;Bo;Li\r\nk-3;"Lee, Jr.";Kim\r\n' \
        > "$folder/roster.csv"
    printf 'Reverse the items worded against the scale.\nReport alpha {three digits}.\n' \
        > "$folder/tasks.txt"
    (cd "$folder" && "$@" setup.TXT --scale --scale-score mean -o exam.csv --roster roster.csv \
        --seed 321 --handouts --instructions tasks.txt --moodle quiz.xml --quiz-digits 4 \
        > stdout 2> stderr) || {
        cat "$folder/stderr" >&2
        echo "check-roster-set: $* failed" >&2
        exit 1
    }
}

make_set "$work/reference" "$reference"
make_set "$work/candidate" "$@" "$generator"
failed=0
for file in exam_handouts.pdf quiz.xml exam_key.csv exam_s1.csv exam_s2.csv exam_k-3.csv; do
    if ! cmp -s "$work/reference/$file" "$work/candidate/$file"; then
        echo "check-roster-set: $file differs" >&2
        failed=1
    fi
done
[ "$failed" = 0 ] && echo "check-roster-set: the same handouts, quiz, key and datasets"
exit "$failed"
