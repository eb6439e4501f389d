# Recomputes every figure of ZEK's answer keys with R from the data files as written, and
# counts the figures that agree, that R also leaves undefined, and that disagree.
#
#   Rscript scripts/check_keys.R FOLDER...
#
# Each FOLDER holds datasets written by `zek-generate --count` (NAME_k.csv beside
# NAME_k_key.TXT). A figure agrees when it matches R to the printed digits (relative 2e-5,
# or 1e-8 absolute near 0); an NA in the key must be NA, NaN or an error in R.
options(warn = -1, contrasts = c("contr.sum", "contr.poly"))

tryNA <- function(expr) tryCatch(expr, error = function(e) NA_real_)

read_key <- function(path) {
  lines <- readLines(path)
  lines <- lines[grepl("^  [A-Za-z]", lines)]
  parts <- strsplit(trimws(lines), " +")
  values <- sapply(parts, function(p) if (p[2] == "NA") NA_real_ else as.numeric(p[2]))
  names(values) <- sapply(parts, `[`, 1)
  # A scale's reverse-keyed items, as its heading names them: "; 6 - var2".
  heading <- grep("^Reliability of the scale", readLines(path), value = TRUE)
  reversals <- regmatches(heading, gregexpr("; [-0-9.e+]+ - [A-Za-z][A-Za-z0-9_]*", heading))
  attr(values, "reversed") <- if (length(reversals)) sub("^; ", "", reversals[[1]]) else c()
  values
}

t_figures <- function(prefix, a, b) {
  a <- a[!is.na(a)]; b <- b[!is.na(b)]
  st <- tryNA(t.test(a, b, var.equal = TRUE))
  we <- tryNA(t.test(a, b))
  pooled <- tryNA({
    v <- 0; if (length(a) > 1) v <- v + (length(a) - 1) * var(a)
    if (length(b) > 1) v <- v + (length(b) - 1) * var(b)
    sqrt(v / (length(a) + length(b) - 2))
  })
  g <- function(x, f) if (is.list(x)) f(x) else NA_real_
  out <- c(mean_difference = if (length(a) && length(b)) mean(a) - mean(b) else NA,
           student_t = g(st, function(x) unname(x$statistic)), student_df = g(st, function(x) unname(x$parameter)),
           student_p = g(st, function(x) x$p.value),
           welch_t = g(we, function(x) unname(x$statistic)), welch_df = g(we, function(x) unname(x$parameter)),
           welch_p = g(we, function(x) x$p.value),
           cohens_d = g(st, function(x) (mean(a) - mean(b)) / pooled))
  names(out) <- paste0(prefix, names(out))
  out
}

anova_figures <- function(prefix, values, groups) {
  keep <- !is.na(values)
  y <- values[keep]; g <- droplevels(factor(groups[keep]))
  a <- tryNA(anova(lm(y ~ g)))
  out <- if (is.data.frame(a) && nrow(a) == 2 && a[2, 1] > 0) {
    c(anova_f = a[1, 4], anova_df1 = a[1, 1], anova_df2 = a[2, 1], anova_p = a[1, 5],
      eta_squared = a[1, 2] / (a[1, 2] + a[2, 2]))
  } else c(anova_f = NA, anova_df1 = NA, anova_df2 = NA, anova_p = NA, eta_squared = NA)
  names(out) <- paste0(prefix, names(out))
  out
}

cor_figures <- function(name, x, y) {
  ok <- complete.cases(x, y)
  r <- if (sum(ok) >= 2) tryNA(cor(x[ok], y[ok])) else NA
  p <- if (sum(ok) >= 3 && !is.na(r)) tryNA(cor.test(x[ok], y[ok])$p.value) else NA
  out <- c(r, sum(ok), p)
  names(out) <- c(name, paste0(name, "_n"), paste0(name, "_p"))
  out
}

paired_figures <- function(prefix, x, y, with_r) {
  ok <- complete.cases(x, y); d <- x[ok] - y[ok]
  t <- tryNA(t.test(x[ok], y[ok], paired = TRUE))
  g <- function(f) if (is.list(t)) f(t) else NA_real_
  out <- c(paired_n = sum(ok), mean_difference = g(function(x) mean(d)),
           paired_t = g(function(x) unname(x$statistic)), paired_df = g(function(x) unname(x$parameter)),
           paired_p = g(function(x) x$p.value), d_z = g(function(x) mean(d) / sd(d)))
  names(out) <- paste0(prefix, names(out))
  if (with_r) out <- c(out, cor_figures(paste0(prefix, "r"), x, y))
  out
}

summary_figures <- function(label, x) {
  x <- x[!is.na(x)]
  out <- c(length(x), if (length(x)) mean(x) else NA, if (length(x) > 1) sd(x) else NA)
  names(out) <- paste0(label, c("_n", "_mean", "_sd"))
  out
}

factorial_figures <- function(prefix, y, factors) {
  data <- data.frame(y = y, factors)
  cells <- table(do.call(interaction, c(lapply(factors, factor), drop = FALSE))[!is.na(y)])
  empty <- sum(cells == 0)
  for (f in names(factors)) data[[f]] <- factor(data[[f]])
  form <- as.formula(paste("y ~", paste(names(factors), collapse = "*")))
  data <- data[!is.na(data$y), ]
  m <- tryNA(lm(form, data))
  labels <- attr(terms(form), "term.labels")
  out <- c()
  d <- if (empty == 0 && is.list(m)) tryNA(drop1(m, . ~ ., test = "F")) else NA
  for (term in labels) {
    name <- gsub(":", "_", term)
    if (is.data.frame(d) && df.residual(m) > 0) {
      ss <- d[term, "Sum of Sq"]; rss <- d[1, "RSS"]
      v <- c(ss, d[term, "Df"], d[term, "F value"], d[term, "Pr(>F)"], ss / (ss + rss))
    } else if (is.data.frame(d)) {
      v <- c(d[term, "Sum of Sq"], d[term, "Df"], NA, NA, NA)
    } else v <- rep(NA, 5)
    names(v) <- paste0(prefix, name, c("_ss", "_df", "_f", "_p", "_partial_eta_squared"))
    out <- c(out, v)
  }
  res <- if (is.list(m)) c(deviance(m), df.residual(m)) else c(NA, NA)
  c(out, setNames(c(res, empty), paste0(prefix, c("residual_ss", "residual_df", "empty_cells"))))
}

regression_figures <- function(data) {
  xs <- grep("^x", names(data), value = TRUE)
  m <- tryNA(lm(as.formula(paste("y ~", paste(xs, collapse = "+"))), data))
  s <- if (is.list(m)) summary(m) else NULL
  out <- c()
  for (term in c("(Intercept)", xs)) {
    name <- if (term == "(Intercept)") "intercept" else term
    v <- if (!is.null(s) && term %in% rownames(coef(s))) coef(s)[term, ] else rep(NA, 4)
    names(v) <- paste0(name, c("_estimate", "_se", "_t", "_p"))
    out <- c(out, v)
  }
  f <- if (!is.null(s)) s$fstatistic else NULL
  c(out, n = if (is.list(m)) nobs(m) else 0, r_squared = if (!is.null(s)) s$r.squared else NA,
    adjusted_r_squared = if (!is.null(s)) s$adj.r.squared else NA,
    model_f = if (!is.null(f)) f[[1]] else NA, model_df1 = if (!is.null(f)) f[[2]] else NA,
    # The key gives the F test's own denominator df, NA where there is no F.
    model_df2 = if (!is.null(f) && is.finite(f[[1]])) s$df[2] else NA,
    model_p = if (!is.null(f)) pf(f[[1]], f[[2]], f[[3]], lower.tail = FALSE) else NA)
}

# summary(glm(y ~ x1 + ..., family = binomial)) of an outcome of 0s and 1s.
logistic_figures <- function(data) {
  xs <- grep("^x", names(data), value = TRUE)
  m <- tryNA(suppressWarnings(glm(as.formula(paste("y ~", paste(xs, collapse = "+"))),
                                  family = binomial, data = data)))
  s <- if (is.list(m)) summary(m) else NULL
  out <- c()
  for (term in c("(Intercept)", xs)) {
    name <- if (term == "(Intercept)") "intercept" else term
    v <- if (!is.null(s) && term %in% rownames(coef(s))) coef(s)[term, ] else rep(NA, 4)
    names(v) <- paste0(name, c("_estimate", "_se", "_z", "_p"))
    out <- c(out, v)
  }
  if (!is.list(m)) return(out)
  c(out, n = nobs(m), null_deviance = m$null.deviance, null_df = m$df.null,
    residual_deviance = m$deviance, residual_df = m$df.residual, aic = m$aic,
    iterations = m$iter)
}

# psych::alpha of the items (pairwise covariances, psych's default), each reverse-keyed item
# ("6 - var2") reversed first as a student would.
scale_figures <- function(data, scores, reversed) {
  for (reversal in reversed) {
    parts <- strsplit(reversal, " - ", fixed = TRUE)[[1]]
    data[[parts[2]]] <- as.numeric(parts[1]) - data[[parts[2]]]
  }
  a <- tryCatch(suppressWarnings(psych::alpha(data[scores], warnings = FALSE)),
                error = function(e) NULL)
  # psych stops where two items share fewer than two cases: no figure of the scale.
  if (is.null(a)) {
    names <- c("alpha", "standardised_alpha", "mean_inter_item_r", "scale_mean", "scale_sd",
               as.vector(outer(scores, c("_r_drop", "_alpha_if_dropped", "_std_alpha_if_dropped"),
                               paste0)))
    return(setNames(rep(NA_real_, length(names)), names))
  }
  out <- c(alpha = a$total$raw_alpha, standardised_alpha = a$total$std.alpha,
           mean_inter_item_r = a$total$average_r, scale_mean = a$total$mean,
           scale_sd = a$total$sd)
  # By name: psych leaves out an item without variance, whose figures are then NA.
  for (item in scores) {
    out[paste0(item, "_r_drop")] <- a$item.stats[item, "r.drop"]
    out[paste0(item, "_alpha_if_dropped")] <- a$alpha.drop[item, "raw_alpha"]
    out[paste0(item, "_std_alpha_if_dropped")] <- a$alpha.drop[item, "std.alpha"]
  }
  out
}

# Each case's sum or mean of the items as a student computes it, reverse-keyed ones reversed
# first, NA where an item is NA: the data file's column must hold it to its printed digits.
check_scale_score <- function(data, items, score, reversed) {
  for (reversal in reversed) {
    parts <- strsplit(reversal, " - ", fixed = TRUE)[[1]]
    data[[parts[2]]] <- as.numeric(parts[1]) - data[[parts[2]]]
  }
  theirs <- if (score == "scale_sum") rowSums(data[items]) else rowMeans(data[items])
  ours <- data[[score]]
  wrong <- xor(is.na(ours), is.na(theirs)) |
    (!is.na(ours) & !is.na(theirs) & abs(ours - theirs) > 0.0051)
  if (any(wrong)) stop(score, " differs from the items in rows ", paste(head(which(wrong)), collapse = " "))
}

within_correlations <- function(data, vars, groups, cellnames) {
  out <- c()
  for (k in seq_along(groups)) {
    rows <- groups[[k]]
    for (i in seq_along(vars)) for (j in seq_along(vars)) if (i < j) {
      name <- paste0(if (length(groups) > 1) paste0(cellnames[k], "_") else "", "r", i, j)
      out <- c(out, cor_figures(name, data[[vars[i]]][rows], data[[vars[j]]][rows]))
    }
  }
  out
}

# The variables as occasions of one outcome, with the groups or cells as between factors:
# afex's Type III table and car's sphericity figures over the complete cases, and paired t
# tests between occasions with Holm's adjustment.
rm_figures <- function(data, scores, between) {
  d <- data[complete.cases(data[scores]), ]
  out <- c(rm_n = nrow(d), rm_left_out = nrow(data) - nrow(d))
  a <- tryCatch({
    long <- reshape(d, direction = "long", varying = scores, v.names = "score",
                    timevar = "occasion", idvar = "id", times = seq_along(scores))
    long$occasion <- factor(long$occasion)
    for (b in between) long[[b]] <- factor(long[[b]])
    suppressWarnings(suppressMessages(afex::aov_ez(
      "id", "score", long, within = "occasion", between = if (length(between)) between else NULL,
      type = 3, anova_table = list(correction = "none", es = c("ges", "pes")))))
  }, error = function(e) NULL)
  terms <- c(between, if (length(between) == 2) paste(between, collapse = ":"))
  terms <- c(terms, "occasion", paste0(terms, ":occasion"))
  s <- if (!is.null(a)) summary(a$Anova, multivariate = FALSE) else NULL
  for (r in terms) {
    p <- paste0("rm_", gsub(":", "_", r), "_")
    t <- if (!is.null(a)) a$anova_table else NULL
    v <- if (!is.null(t) && r %in% rownames(t))
      c(t[r, "F"], t[r, "num Df"], t[r, "den Df"], t[r, "Pr(>F)"], t[r, "pes"], t[r, "ges"])
    else rep(NA, 6)
    names(v) <- paste0(p, c("F", "df1", "df2", "p", "pes", "ges"))
    out <- c(out, v)
    if (!grepl("occasion", r)) next
    pa <- s$pval.adjustments; sp <- s$sphericity.tests
    w <- if (length(scores) > 2 && !is.null(pa) && r %in% rownames(pa)) {
      gg <- pa[r, "GG eps"]; hf <- pa[r, "HF eps"]
      # Without an epsilon (an error matrix of deficient rank) car leaves the corrected p at
      # the 0 its table starts with: no figure R computed.
      c(gg, v[2] * gg, v[3] * gg, if (is.na(gg)) NA else pa[r, "Pr(>F[GG])"], hf,
        v[2] * min(1, hf), v[3] * min(1, hf), if (is.na(hf)) NA else pa[r, "Pr(>F[HF])"],
        if (!is.null(sp) && r %in% rownames(sp)) sp[r, 1:2] else c(NA, NA))
    } else rep(NA, 10)
    names(w) <- paste0(p, c("gg_epsilon", "gg_df1", "gg_df2", "gg_p", "hf_epsilon", "hf_df1",
                            "hf_df2", "hf_p", "mauchly_w", "mauchly_p"))
    out <- c(out, w)
  }
  pairs <- c()
  for (i in seq_along(scores)) for (j in seq_along(scores)) if (i < j) {
    p <- paste0(scores[i], "_", scores[j], "_rm_")
    t <- tryNA(t.test(d[[scores[i]]], d[[scores[j]]], paired = TRUE))
    g <- function(f) if (is.list(t)) f(t) else NA_real_
    v <- c(g(function(x) mean(d[[scores[i]]] - d[[scores[j]]])), g(function(x) unname(x$statistic)),
           g(function(x) unname(x$parameter)), g(function(x) x$p.value))
    names(v) <- paste0(p, c("mean_difference", "t", "df", "p"))
    out <- c(out, v)
    pairs <- c(pairs, setNames(v[4], paste0(p, "p_holm")))
  }
  c(out, setNames(p.adjust(pairs, "holm"), names(pairs)))
}

# The categorical designs: the table of the codes with every category of the setup kept
# (a factor with all its levels), and the tests on it.
category_figures <- function(data, setup) {
  entry <- function(key) sub(paste0("^", key, "="), "", grep(paste0("^", key, "="), setup, value = TRUE))
  rows <- as.integer(entry("rows")); cols <- as.integer(entry("columns"))
  pct <- sapply(seq_len(rows * cols), function(k) as.numeric(entry(paste0("pct", k))))
  if (cols == 1) {
    x <- data$var1[!is.na(data$var1)]
    counts <- as.vector(table(factor(x, levels = 1:rows)))
    g <- suppressWarnings(tryNA(chisq.test(counts, p = pct / 100)))
    out <- c(n = length(x))
    for (k in 1:rows) {
      out[paste0("var1_", k, "_count")] <- counts[k]
      out[paste0("var1_", k, "_expected")] <- if (is.list(g)) g$expected[k] else NA
    }
    return(c(out, chi_square = if (is.list(g)) unname(g$statistic) else NA,
             chi_square_df = if (is.list(g)) unname(g$parameter) else NA,
             chi_square_p = if (is.list(g)) g$p.value else NA,
             smallest_expected = if (is.list(g)) min(g$expected) else NA))
  }
  ok <- !is.na(data$var1) & !is.na(data$var2)
  t <- table(factor(data$var1[ok], levels = 1:rows), factor(data$var2[ok], levels = 1:cols))
  a <- suppressWarnings(tryNA(chisq.test(t, correct = FALSE)))
  has <- is.list(a)
  out <- c(n = sum(t))
  for (r in 1:rows) for (k in 1:cols) {
    name <- paste0("var1_", r, "_var2_", k)
    out[paste0(name, "_count")] <- t[r, k]
    out[paste0(name, "_expected")] <- if (has) a$expected[r, k] else NA
  }
  out <- c(out, chi_square = if (has) unname(a$statistic) else NA,
           chi_square_df = if (has) unname(a$parameter) else NA,
           chi_square_p = if (has) a$p.value else NA)
  if (rows == 2 && cols == 2) {
    y <- suppressWarnings(tryNA(chisq.test(t)))
    f <- tryNA(fisher.test(t))
    out <- c(out, chi_square_yates = if (is.list(y)) unname(y$statistic) else NA,
             chi_square_yates_p = if (is.list(y)) y$p.value else NA,
             fisher_p = if (is.list(f)) f$p.value else NA,
             fisher_odds_ratio = if (is.list(f)) unname(f$estimate) else NA,
             fisher_lower = if (is.list(f)) f$conf.int[1] else NA,
             fisher_upper = if (is.list(f)) f$conf.int[2] else NA,
             phi = suppressWarnings(tryNA(cor(data$var1[ok], data$var2[ok]))))
  }
  c(out, cramers_v = if (has) sqrt(unname(a$statistic) / (sum(t) * (min(rows, cols) - 1))) else NA,
    smallest_expected = if (has) min(a$expected) else NA)
}

r_figures <- function(data, key, setup) {
  if ("chi_square" %in% names(key)) return(category_figures(data, setup))
  cols <- names(data)
  scores <- setdiff(cols, c("id", "group", "factor1", "factor2", "factor3"))
  # A scale's score column follows its items; the key speaks of the items alone, and the
  # column is checked against them.
  for (score in intersect(c("scale_sum", "scale_mean"), scores)) {
    scores <- setdiff(scores, score)
    check_scale_score(data, scores, score, attr(key, "reversed"))
  }
  out <- c()
  if ("factor1" %in% cols) {
    fac <- intersect(c("factor1", "factor2", "factor3"), cols)
    cell <- do.call(paste0, data[fac])
    cells <- unique(cell)
    for (cv in cells) for (v in seq_along(scores)) {
      label <- paste0("cell", cv, if (length(scores) > 1) paste0("_dv", v) else "")
      out <- c(out, summary_figures(label, data[[scores[v]]][cell == cv]))
    }
    for (v in seq_along(scores)) {
      out <- c(out, factorial_figures(if (length(scores) > 1) paste0("dv", v, "_") else "",
                                      data[[scores[v]]], data[fac]))
    }
    if (length(scores) == 2) {
      groups <- lapply(cells, function(cv) cell == cv)
      out <- c(out, within_correlations(data, scores, groups, paste0("cell", cells)))
      for (k in seq_along(cells)) out <- c(out, paired_figures(paste0("cell", cells[k], "_"),
        data[[scores[1]]][groups[[k]]], data[[scores[2]]][groups[[k]]], FALSE))
    }
  } else if ("group" %in% cols) {
    gs <- sort(unique(data$group))
    two_var <- identical(scores, c("var1", "var2"))
    for (g in gs) for (v in seq_along(scores)) {
      label <- paste0("group", g, if (two_var) paste0("_var", v) else if (length(scores) > 1) paste0("_dv", v) else "")
      out <- c(out, summary_figures(label, data[[scores[v]]][data$group == g]))
    }
    if (two_var && length(gs) == 1) {
      out <- c(out, paired_figures("", data$var1, data$var2, TRUE))
    } else if (length(gs) == 1) {
      x <- data$dv[!is.na(data$dv)]; mu <- key[["one_sample_mu"]]
      t <- tryNA(t.test(x, mu = mu))
      g <- function(f) if (is.list(t)) f(t) else NA_real_
      out <- c(out, one_sample_mu = mu, mean_difference = g(function(t) mean(x) - mu),
               one_sample_t = g(function(t) unname(t$statistic)), one_sample_df = g(function(t) unname(t$parameter)),
               one_sample_p = g(function(t) t$p.value), cohens_d = g(function(t) (mean(x) - mu) / sd(x)))
    } else {
      for (v in seq_along(scores)) {
        prefix <- if (length(scores) > 1) paste0(scores[v], "_") else ""
        y <- data[[scores[v]]]
        out <- c(out, if (length(gs) == 2) t_figures(prefix, y[data$group == 1], y[data$group == 2])
                      else anova_figures(prefix, y, data$group))
      }
      if (length(scores) > 1) {
        groups <- lapply(gs, function(g) data$group == g)
        out <- c(out, within_correlations(data, scores, groups, paste0("group", gs)))
      }
      if (two_var) for (g in gs) out <- c(out, paired_figures(paste0("group", g, "_"),
        data$var1[data$group == g], data$var2[data$group == g], FALSE))
    }
  } else if ("y" %in% cols) {
    for (v in scores) out <- c(out, summary_figures(v, data[[v]]))
    out <- c(out, if ("null_deviance" %in% names(key)) logistic_figures(data)
                  else regression_figures(data))
  } else {
    for (v in scores) out <- c(out, summary_figures(v, data[[v]]))
    out <- c(out, within_correlations(data, scores, list(rep(TRUE, nrow(data))), ""))
  }
  if ("standardised_alpha" %in% names(key)) out <- c(out, scale_figures(data, scores, attr(key, "reversed")))
  if ("rm_n" %in% names(key)) {
    between <- intersect(c("group", "factor1", "factor2"), cols)
    if (identical(between, "group") && length(unique(data$group)) == 1) between <- c()
    out <- c(out, rm_figures(data, scores, between))
  }
  out
}

agree <- function(ours, theirs) {
  if (is.na(ours)) return(is.na(theirs) || !is.finite(theirs))
  if (is.na(theirs) || !is.finite(theirs)) return(FALSE)
  abs(ours - theirs) <= max(2e-5 * abs(theirs), 1e-8)
}

counts <- c(agreed = 0, both_undefined = 0, disagreed = 0)
for (folder in commandArgs(trailingOnly = TRUE)) {
  for (key_file in list.files(folder, pattern = "_key\\.TXT$", full.names = TRUE)) {
    data_file <- sub("_key\\.TXT$", ".csv", key_file)
    data <- read.csv(data_file, na.strings = "")
    key <- read_key(key_file)
    setup <- readLines(sub("_key\\.TXT$", "_setup.TXT", key_file))
    theirs <- r_figures(data, key, setup)
    missing_names <- setdiff(names(key), names(theirs))
    if (length(missing_names)) cat(key_file, ": R did not compute", missing_names, "\n")
    for (name in intersect(names(key), names(theirs))) {
      ok <- agree(key[[name]], theirs[[name]])
      if (ok && is.na(key[[name]])) counts["both_undefined"] <- counts["both_undefined"] + 1
      else if (ok) counts["agreed"] <- counts["agreed"] + 1
      else {
        counts["disagreed"] <- counts["disagreed"] + 1
        cat(key_file, name, "key", key[[name]], "R", theirs[[name]], "\n")
      }
    }
  }
}
print(counts)
quit(status = if (counts["disagreed"] > 0) 1 else 0)
