#!/usr/bin/env bash
# Class sets of the designs whose variables are occasions, with repeated measures, and every
# figure of their keys recomputed by R's afex and car (scripts/check_keys.R).
#   repeated_keys_in_r.sh ZEK_GENERATE GOLDEN_FOLDER CHECK_KEYS_R WORK_FOLDER
set -euo pipefail
generator=$1 golden=$2 checker=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
for design in 11_2group3dv 13_2dv1group 15_2dv3group 17_2dv2x2 30_corr3 33_corr6; do
    mkdir -p "$work/$design"
    (cd "$work/$design" && "$generator" "$golden/$design/input.TXT" -o data.csv --count 20 \
        --repeated --seed 77 > /dev/null)
done
Rscript "$checker" "$work"/*/
