#!/usr/bin/env bash
# Writes class sets of small, messy classes for every design (N 3 to 20 per group, cell or
# variable, 0 to 50% missing) with zek-generate, and has R recompute every figure of their
# answer keys (scripts/check_keys.R); the designs whose variables can be occasions again as
# repeated measures (--repeated; N 5 to 60, 0 to 20% missing), as are the mixed designs, and
# the categorical designs and logistic regressions (N 10 to 500, 0 to 20% missing).
# The correlated designs run once more as the items of one scale (--scale; N 5 to 60, 0 to 20%
# missing), and the Likert items of folders 63 and 64 as well.
# Needs Rscript (Debian r-base-core, r-cran-afex, r-cran-car, r-cran-psych).
#
#   scripts/check-keys-with-r.sh build/src/zek-generate [ROUNDS]
set -euo pipefail
generator=$(realpath "$1")
rounds=${2:-1}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A class's setup: N from LOW to HIGH per group, cell or variable (one N where the boxes
# share the cases), the missing percentage one of MISSING; without names and in the wide layout,
# which name the columns as check_keys.R reads them.
#   vary INPUT TARGET DESIGN ROUND LOW HIGH MISSING
vary() {
    python3 - "$@" <<'EOF'
import random, sys
source, target, design, round_, low, high, missing = sys.argv[1:]
code = int(design[:2])
random.seed(f"{design}-{round_}")
lines = open(source, newline="").read().split("\r\n")
if "===================Names" in lines:
    lines = lines[:lines.index("===================Names")] + [""]
lines = [line for line in lines if line != "long"]
shared = random.randint(int(low), int(high))
own_n = code <= 9 or 18 <= code <= 21
# The mixed designs' setups (folders 53 and 54): one N a group, the groups apart.
group_n = [shared, random.randint(int(low), int(high))] if "_mixed" in design else [shared, shared]
for k, line in enumerate(lines):
    if line.startswith("===================%Missing"):
        lines[k + 1] = str(random.choice([int(m) for m in missing.split(",")]))
    # A categorical design's N, of all cases or of each column.
    if line.startswith("n=") or (line[:1] == "n" and line[1:2].isdigit() and "=" in line):
        lines[k] = line.split("=")[0] + "=" + str(random.randint(int(low), int(high)))
    if line.startswith("===================BOX "):
        box = int(line.split()[1].strip("="))
        lines[k + 3] = str(random.randint(int(low), int(high)) if own_n else group_n[box > 4])
open(target, "w", newline="").write("\r\n".join(lines))
EOF
}

for round in $(seq 1 "$rounds"); do
    for input in "$here"/../tests/golden/[0-3][0-9]_*/input.TXT; do
        design=$(basename "$(dirname "$input")")
        folder="$work/$design-$round"
        mkdir -p "$folder"
        vary "$input" "$folder/setup.TXT" "$design" "$round" 3 20 0,0,5,10,20,35,50
        (cd "$folder" && "$generator" setup.TXT -o "data.csv" --count 30 \
            --seed $((1000 * round + 10#${design:0:2})) > /dev/null)
        # The designs whose variables can be occasions, once more as repeated measures.
        code=$((10#${design:0:2}))
        if ((code >= 10 && code <= 17)) || ((code >= 29)); then
            mkdir -p "$folder-repeated"
            vary "$input" "$folder-repeated/setup.TXT" "$design" "$round" 5 60 0,5,10,15,20
            (cd "$folder-repeated" && "$generator" setup.TXT -o "data.csv" --count 30 \
                --repeated --seed $((1000 * round + code)) > /dev/null)
        fi
        # The correlated variables once more as the items of one scale.
        if ((code >= 29)); then
            mkdir -p "$folder-scale"
            vary "$input" "$folder-scale/setup.TXT" "$design" "$round" 5 60 0,5,10,15,20
            (cd "$folder-scale" && "$generator" setup.TXT -o "data.csv" --count 30 \
                --scale --seed $((1000 * round + code + 500)) > /dev/null)
        fi
    done
    # The categorical designs (N 10 to 500, empty rows and columns where a rare category
    # draws no case), the logistic regressions (N 10 to 500, separated outcomes among the
    # small ones), the mixed designs (N 5 to 60), Likert items as a scale and reverse-keyed
    # items with a score column (N 10 to 500).
    for input in "$here"/../tests/golden/[5-9][0-9]_{cat,logistic,mixed,corr4_likert,corr5_reversed}*/input.TXT; do
        design=$(basename "$(dirname "$input")")
        folder="$work/$design-$round"
        mkdir -p "$folder"
        if [[ $design == *_mixed* ]]; then low=5 high=60; else low=10 high=500; fi
        scale=()
        if [[ $design == *_likert* ]]; then scale=(--scale); fi
        # Reverse-keyed items: their mean score column, and every other round their sum.
        if [[ $design == *_reversed* && $((round % 2)) == 1 ]]; then scale=(--scale-score sum); fi
        vary "$input" "$folder/setup.TXT" "$design" "$round" "$low" "$high" 0,5,10,15,20
        (cd "$folder" && "$generator" setup.TXT -o "data.csv" --count 30 "${scale[@]}" \
            --seed $((1000 * round + 10#${design:0:2})) > /dev/null)
    done
done
Rscript "$here/check_keys.R" "$work"/*/
