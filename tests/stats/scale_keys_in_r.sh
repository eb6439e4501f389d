#!/usr/bin/env bash
# Class sets of Likert items taken as a scale, every figure of their keys recomputed by R
# (psych::alpha among them, scripts/check_keys.R), and the points' labels read back from an
# SPSS file as ordered value labels.
#   scale_keys_in_r.sh ZEK_GENERATE GOLDEN_FOLDER CHECK_KEYS_R WORK_FOLDER
set -euo pipefail
generator=$(realpath "$1") golden=$(realpath "$2") checker=$(realpath "$3") work=$4
rm -rf "$work"
mkdir -p "$work/items" "$work/labels"
(cd "$work/items" && "$generator" "$golden/63_corr4_likert_items/input.TXT" -o data.csv \
    --count 20 --seed 63 > /dev/null)
Rscript "$checker" "$work/items/"

cd "$work/labels"
"$generator" "$golden/64_3groups_likert_exact/input.TXT" -o data.sav --no-key > /dev/null
Rscript - <<'R'
data <- haven::read_sav("data.sav")
labels <- attr(data$enjoyment, "labels")
stopifnot(identical(unname(labels), c(1, 4, 7)),
          identical(names(labels), c("strongly disagree", "neither", "strongly agree")),
          all(data$enjoyment %in% 1:7))
cat("Likert points: the SPSS file labels the points\n")
R
