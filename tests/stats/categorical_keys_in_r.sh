#!/usr/bin/env bash
# Class sets of the categorical designs, every figure of their keys recomputed by R's
# chisq.test, fisher.test and cor (scripts/check_keys.R), and the categories' labels read
# back from an SPSS file as value labels.
#   categorical_keys_in_r.sh ZEK_GENERATE GOLDEN_FOLDER CHECK_KEYS_R WORK_FOLDER
set -euo pipefail
generator=$1 golden=$2 checker=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
for design in 55_cat1_five_categories 56_cat2x2_small 57_cat3x4_groups_exact 58_cat2x3_rare_row; do
    mkdir -p "$work/$design"
    # The checker reads the columns by their default names.
    sed '/^===================Names/,$d' "$golden/$design/input.TXT" > "$work/$design/setup.TXT"
    (cd "$work/$design" && "$generator" setup.TXT -o data.csv --count 20 --seed 77 > /dev/null)
done
Rscript "$checker" "$work"/*/

mkdir -p "$work/labels"
cd "$work/labels"
"$generator" "$golden/55_cat1_five_categories/input.TXT" -o data.sav --no-key > /dev/null
Rscript - <<'R'
data <- haven::read_sav("data.sav")
labels <- attr(data$transport, "labels")
stopifnot(identical(unname(labels), c(1, 2, 3, 4, 5)),
          identical(names(labels), c("walk", "bike", "bus", "car", "train")))
cat("categories: the SPSS file labels every code\n")
R
