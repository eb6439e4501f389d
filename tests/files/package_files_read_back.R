# Every golden setup written as SPSS, Stata and Excel files, read back with haven and readxl
# and compared with its comma-delimited file value for value; a class set in .sav likewise.
#   Rscript package_files_read_back.R ZEK_GENERATE GOLDEN_FOLDER WORK_FOLDER
suppressPackageStartupMessages({
  library(haven)
  library(readxl)
})
args <- commandArgs(trailingOnly = TRUE)
generate <- args[1]
golden <- args[2]
work <- args[3]
dir.create(work, showWarnings = FALSE, recursive = TRUE)
failures <- 0
fail <- function(...) {
  message(...)
  failures <<- failures + 1
}

run <- function(case, output, extra = character()) {
  options <- scan(file.path(golden, case, "options"), what = "", quiet = TRUE)
  status <- system2(generate, c(file.path(golden, case, "input.TXT"), "-o",
                                file.path(work, output), "--no-key", options, extra),
                    stdout = FALSE, stderr = FALSE)
  if (status != 0) fail(case, ": zek-generate failed on ", output)
}

numeric_frame <- function(data) as.data.frame(lapply(data, function(x) as.numeric(x)))

same_values <- function(what, got, wanted) {
  if (!identical(names(got), names(wanted))) {
    fail(what, ": names ", paste(names(got), collapse = ","), " instead of ",
         paste(names(wanted), collapse = ","))
  } else if (!isTRUE(all.equal(numeric_frame(got), numeric_frame(wanted), check.attributes = FALSE,
                               tolerance = 0))) {
    fail(what, ": values differ from the text file")
  }
}

decimals_of <- function(format) as.integer(sub(".*\\.([0-9]+)f?$", "\\1", format))

cases <- list.dirs(golden, full.names = FALSE, recursive = FALSE)
for (case in cases) {
  for (format in c("csv", "sav", "dta", "xlsx")) run(case, paste0(case, ".", format))
  text <- read.csv(file.path(work, paste0(case, ".csv")))
  sav <- read_sav(file.path(work, paste0(case, ".sav")))
  dta <- read_dta(file.path(work, paste0(case, ".dta")))
  book <- file.path(work, paste0(case, ".xlsx"))
  same_values(paste(case, "sav"), sav, text)
  same_values(paste(case, "dta"), dta, text)
  same_values(paste(case, "xlsx"), read_excel(book, sheet = "data"), text)
  # Each column shows as many decimals as the text file writes at most.
  lines <- readLines(file.path(work, paste0(case, ".csv")))[-1]
  fields <- do.call(rbind, strsplit(paste0(lines, ","), ",", fixed = TRUE))
  for (k in seq_along(names(text))) {
    column <- names(text)[k]
    written <- fields[, k]
    if (!any(nzchar(written))) next  # a column of missing scores shows no decimals
    places <- max(0, nchar(sub("^[^.]*\\.?", "", written[nzchar(written)])))
    if (decimals_of(attr(sav[[column]], "format.spss")) != places ||
        decimals_of(attr(dta[[column]], "format.stata")) != places) {
      fail(case, " ", column, ": not shown with the ", places, " decimals the text file writes")
    }
  }
  report <- readLines(file.path(work, paste0(case, "_info.TXT")))
  sheet <- suppressMessages(read_excel(book, sheet = "information", col_names = FALSE, trim_ws = FALSE))[[1]]
  if (!identical(sheet[!is.na(sheet)], report[nzchar(report)])) {
    fail(case, ": the information sheet is not the information file")
  }
}

# A class set in .sav: each dataset holds what the same set writes as text.
for (format in c("csv", "sav")) {
  run("13_2dv1group", paste0("class_", format, ".", format), c("--count", "3"))
}
for (k in 1:3) {
  same_values(paste("class set dataset", k),
              read_sav(file.path(work, sprintf("class_sav_%d.sav", k))),
              read.csv(file.path(work, sprintf("class_csv_%d.csv", k))))
}

# Names and labels: the names head every format, the labels reach SPSS and Stata.
named_setup <- file.path(work, "named.TXT")
writeBin(c(readBin(file.path(golden, "18_2x2", "input.TXT"), "raw", 1e6),
           charToRaw(paste0("===================Names\r\nfactor1=dose\r\nfactor1.label=Caffeine dose\r\n",
                            "factor1.1=None\r\nfactor1.2=High\r\ndv=recall\r\n",
                            "dv.label=Words recalled\r\n"))),
         named_setup)
for (format in c("csv", "sav", "dta", "xlsx")) {
  status <- system2(generate, c(named_setup, "-o", file.path(work, paste0("named.", format)),
                                "--no-key"), stdout = FALSE, stderr = FALSE)
  if (status != 0) fail("names: zek-generate failed on ", format)
}
named_text <- read.csv(file.path(work, "named.csv"))
if (!identical(names(named_text), c("id", "dose", "factor2", "recall"))) fail("names: csv header")
for (format in c("sav", "dta")) {
  data <- if (format == "sav") read_sav(file.path(work, "named.sav")) else
    read_dta(file.path(work, "named.dta"))
  same_values(paste("names", format), data, named_text)
  if (!identical(attr(data$recall, "label"), "Words recalled") ||
      !identical(attr(data$dose, "label"), "Caffeine dose") ||
      !identical(unname(attr(data$dose, "labels")), c(1, 2)) ||
      !identical(names(attr(data$dose, "labels")), c("None", "High"))) {
    fail("names: ", format, " lacks a label")
  }
}
same_values("names xlsx", read_excel(file.path(work, "named.xlsx"), sheet = "data"), named_text)

cat(length(cases), "setups in four formats,", failures, "differences\n")
quit(status = if (failures == 0) 0 else 1)
