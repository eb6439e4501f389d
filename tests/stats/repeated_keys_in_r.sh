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

# The long layout in every format holds the wide file's scores, case by case and occasion by
# occasion, with the occasions labelled by the variables' names.
mkdir -p "$work/long"
cd "$work/long"
"$generator" "$golden/17_2dv2x2/input.TXT" -o wide.csv --repeated --seed 5 > /dev/null
for format in csv sav dta xlsx; do
    "$generator" "$golden/17_2dv2x2/input.TXT" -o "long.$format" --repeated --long --seed 5 \
        --no-key > /dev/null
done
Rscript - <<'R'
wide <- read.csv("wide.csv", na.strings = "")
expected <- as.vector(t(as.matrix(wide[, c("dv1", "dv2")])))
read <- list(csv = read.csv("long.csv", na.strings = ""), sav = haven::read_sav("long.sav"),
             dta = haven::read_dta("long.dta"), xlsx = readxl::read_xlsx("long.xlsx", sheet = 1))
for (format in names(read)) {
  long <- read[[format]]
  stopifnot(identical(names(long), c("id", "factor1", "factor2", "occasion", "score")))
  stopifnot(isTRUE(all.equal(as.numeric(long$score), expected)))
  stopifnot(identical(as.numeric(long$id), as.numeric(rep(wide$id, each = 2))))
}
labels <- attr(read$sav$occasion, "labels")
stopifnot(identical(unname(labels), c(1, 2)), identical(names(labels), c("dv1", "dv2")))
cat("long layout: every format holds the wide scores\n")
R
