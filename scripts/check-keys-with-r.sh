#!/usr/bin/env bash
# Writes class sets of small, messy classes for every design (N 3 to 20 per group, cell or
# variable, 0 to 50% missing) with zek-generate, and has R recompute every figure of their
# answer keys (scripts/check_keys.R). Needs Rscript (Debian r-base-core).
#
#   scripts/check-keys-with-r.sh build/src/zek-generate [ROUNDS]
set -euo pipefail
generator=$(realpath "$1")
rounds=${2:-1}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for round in $(seq 1 "$rounds"); do
    for input in "$here"/../tests/golden/[0-3][0-9]_*/input.TXT; do
        design=$(basename "$(dirname "$input")")
        folder="$work/$design-$round"
        mkdir -p "$folder"
        # Designs whose boxes share the cases keep one N; the others draw one per box.
        python3 - "$input" "$folder/setup.TXT" "$design" "$round" <<'EOF'
import random, sys
source, target, design, round_ = sys.argv[1:]
code = int(design[:2])
random.seed(f"{design}-{round_}")
lines = open(source, newline="").read().split("\r\n")
shared = random.randint(3, 20)
own_n = code <= 9 or 18 <= code <= 21
for k, line in enumerate(lines):
    if line.startswith("===================%Missing"):
        lines[k + 1] = str(random.choice([0, 0, 5, 10, 20, 35, 50]))
    if line.startswith("===================BOX "):
        lines[k + 3] = str(random.randint(3, 20) if own_n else shared)
open(target, "w", newline="").write("\r\n".join(lines))
EOF
        (cd "$folder" && "$generator" setup.TXT -o "data.csv" --count 30 \
            --seed $((1000 * round + 10#${design:0:2})) > /dev/null)
    done
done
Rscript "$here/check_keys.R" "$work"/*/
