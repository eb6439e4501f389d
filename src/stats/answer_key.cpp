#include "stats/answer_key.h"

#include <algorithm>
#include <cmath>

#include "setup/data_columns.h"
#include "setup/design_catalogue.h"
#include "setup/number_parsing.h"
#include "stats/categorical_key.h"
#include "stats/logistic_regression.h"
#include "stats/repeated_measures.h"
#include "stats/sample_tests.h"
#include "stats/scale_reliability.h"

namespace zek {

namespace {

using Column = std::vector<double>;

// The scores of each cell (group or cell of the design) and variable, as written, and the
// decimals they were written with.
struct WrittenData {
    DataLayout layout;
    const WrittenScores& cells;              ///< [cell][variable]
    std::vector<std::vector<int>> decimals;  ///< [cell][variable]
    DataColumns columns;

    /// The name the data file's header gives score variable `variable` (1 ..).
    const std::string& ScoreName(int variable) const { return columns.ScoreColumn(variable).name; }

    int Decimals(std::size_t cell, int variable) const {
        return decimals[cell][static_cast<std::size_t>(variable)];
    }
    /// The most decimals of a variable over all cells.
    int Decimals(int variable) const {
        int most = 0;
        for (const std::vector<int>& cell : decimals) {
            most = std::max(most, cell[static_cast<std::size_t>(variable)]);
        }
        return most;
    }
};

WrittenData ReadWritten(const GenerationSetup& setup, const WrittenScores& scores) {
    WrittenData data{LayoutOf(setup), scores, {}, DataColumnsOf(setup)};
    for (const DataBlock& block : data.layout) {
        std::vector<int> decimals;
        for (int v = 0; v < data.layout.variableCount; ++v) {
            decimals.push_back(DecimalsOf(setup, block, v));
        }
        data.decimals.push_back(std::move(decimals));
    }
    return data;
}

KeyFigure Count(std::string name, double value) {
    return {std::move(name), value, FigureKind::Count, 0};
}
KeyFigure Score(std::string name, double value, int decimals) {
    return {std::move(name), value, FigureKind::Score, decimals};
}
KeyFigure Statistic(std::string name, double value) {
    return {std::move(name), value, FigureKind::Statistic, 0};
}
KeyFigure Probability(std::string name, double value) {
    return {std::move(name), value, FigureKind::Probability, 0};
}

std::string Number(std::string_view stem, int k) {
    return std::string(stem) + std::to_string(k);
}

// A level of a grouping column: "group2" by default, "condition2" once the column is named,
// "condition_Placebo" once the level is labelled (a label's other characters than letters,
// digits and "_" become "_", so that a figure's name stays one word that R and a spreadsheet
// read as it is, and lines up in the key's text by its length).
std::string LevelName(const DataColumn& column, int level) {
    const std::string label = column.LevelLabelOf(level);
    if (label.empty()) return Number(column.name, level);
    return column.name + "_" + SafeNamePart(label);
}

// The name of a cell as the data file's codes name it: "group2", "cell12"; with names, its
// levels' names ("condition_Placebo", "dose_High_time2").
std::string CellName(const GenerationSetup& setup, const WrittenData& data,
                     const DesignCell& cell) {
    if (setup.family != DesignFamily::Factorial) {
        return LevelName(data.columns.GroupingColumn(1), cell.levels[0]);
    }
    const ColumnNames& names = setup.columnNames;
    std::string name;
    bool named = false;
    for (int f = 0; f < cell.levelCount; ++f) {
        const std::string& factor = data.columns.GroupingColumn(f + 1).defaultName;
        named = named || names.names.contains(factor) || names.levelLabels.contains(factor);
        if (f > 0) name += '_';
        name += LevelName(data.columns.GroupingColumn(f + 1), cell.levels[f]);
    }
    if (named) return name;
    name = "cell";
    for (int f = 0; f < cell.levelCount; ++f) name += std::to_string(cell.levels[f]);
    return name;
}

// The column name of variable v of a cell, as the data file's header and factor codes name it.
std::string CellLabel(const GenerationSetup& setup, const WrittenData& data, const DesignCell& cell,
                      int variable) {
    const int v = variable + 1;
    switch (setup.family) {
        case DesignFamily::OneWay:
            return CellName(setup, data, cell);
        case DesignFamily::TwoGroupsMultiVariable:
            return setup.variableCount == 1 ? CellName(setup, data, cell)
                                            : CellName(setup, data, cell) + "_" + data.ScoreName(v);
        case DesignFamily::TwoVariablesInGroups:
            return CellName(setup, data, cell) + "_" + data.ScoreName(v);
        case DesignFamily::Factorial:
            return setup.variableCount == 2 ? CellName(setup, data, cell) + "_" + data.ScoreName(v)
                                            : CellName(setup, data, cell);
        case DesignFamily::Regression:
            return data.ScoreName(v);
        case DesignFamily::Correlated:
        case DesignFamily::Categorical:
            return data.ScoreName(v);
    }
    return {};
}

void AddTwoGroupTests(KeySection& section, const std::string& prefix, const Column& first,
                      const Column& second, int decimals) {
    const TwoGroupTests t = CompareTwoGroups(first, second);
    section.figures.insert(
        section.figures.end(),
        {Score(prefix + "mean_difference", t.meanDifference, decimals),
         Statistic(prefix + "student_t", t.studentT), Count(prefix + "student_df", t.studentDf),
         Probability(prefix + "student_p", t.studentP), Statistic(prefix + "welch_t", t.welchT),
         Statistic(prefix + "welch_df", t.welchDf), Probability(prefix + "welch_p", t.welchP),
         Statistic(prefix + "cohens_d", t.cohensD)});
}

void AddOneWayAnova(KeySection& section, const std::string& prefix,
                    const std::vector<Column>& groups) {
    const OneWayAnova a = AnalyseGroups(groups);
    section.figures.insert(
        section.figures.end(),
        {Statistic(prefix + "anova_f", a.f), Count(prefix + "anova_df1", a.dfBetween),
         Count(prefix + "anova_df2", a.dfWithin), Probability(prefix + "anova_p", a.p),
         Statistic(prefix + "eta_squared", a.etaSquared)});
}

// Two groups get the t tests, more groups the one-way ANOVA.
KeySection GroupComparison(const std::string& heading, const std::string& prefix,
                           const std::vector<Column>& groups, int decimals) {
    KeySection section{heading, {}};
    if (groups.size() == 2) {
        section.heading += " (group 1 minus group 2)";
        AddTwoGroupTests(section, prefix, groups[0], groups[1], decimals);
    } else {
        AddOneWayAnova(section, prefix, groups);
    }
    return section;
}

KeySection OneSampleSection(const GenerationSetup& setup, const WrittenData& data) {
    const double mu = setup.Box(1).mean;
    const int decimals = data.Decimals(0);
    const OneSampleTest t = CompareWithMean(data.cells.front().front(), mu);
    return {
        "One group against the population mean of its box (two-sided)",
        {Score("one_sample_mu", mu, decimals), Score("mean_difference", t.meanDifference, decimals),
         Statistic("one_sample_t", t.t), Count("one_sample_df", t.df),
         Probability("one_sample_p", t.p), Statistic("cohens_d", t.cohensD)}};
}

void AddPairedTest(KeySection& section, const std::string& prefix, const Column& first,
                   const Column& second, int decimals, bool withCorrelation) {
    const PairedTest t = ComparePairs(first, second);
    section.figures.insert(
        section.figures.end(),
        {Count(prefix + "paired_n", t.n),
         Score(prefix + "mean_difference", t.meanDifference, decimals),
         Statistic(prefix + "paired_t", t.t), Count(prefix + "paired_df", t.df),
         Probability(prefix + "paired_p", t.p), Statistic(prefix + "d_z", t.dz)});
    if (withCorrelation) {
        section.figures.insert(section.figures.end(),
                               {Statistic(prefix + "r", t.r), Count(prefix + "r_n", t.n),
                                Probability(prefix + "r_p", t.rP)});
    }
}

// The two variables of every group or cell compared as paired scores (var1 minus var2).
KeySection PairedWithinCells(const GenerationSetup& setup, const WrittenData& data) {
    KeySection section{
        "Paired scores within each group or cell (variable 1 minus variable 2, "
        "complete pairs)",
        {}};
    for (std::size_t c = 0; c < data.cells.size(); ++c) {
        AddPairedTest(section, CellName(setup, data, data.layout.blocks[c].cell) + "_",
                      data.cells[c][0], data.cells[c][1],
                      std::max(data.Decimals(c, 0), data.Decimals(c, 1)), false);
    }
    return section;
}

void AddCorrelation(KeySection& section, const std::string& name, const CorrelationTest& r) {
    section.figures.insert(section.figures.end(), {Statistic(name, r.r), Count(name + "_n", r.n),
                                                   Probability(name + "_p", r.p)});
}

std::vector<Column> ColumnOfEachCell(const WrittenData& data, int variable) {
    std::vector<Column> columns;
    for (const std::vector<Column>& cell : data.cells) {
        columns.push_back(cell[static_cast<std::size_t>(variable)]);
    }
    return columns;
}

// Terms are named after the data file's factor columns: "factor1", "factor1_factor2".
std::string TermName(const WrittenData& data, const AnovaTerm& term) {
    std::string name;
    for (std::size_t f = 0; f < term.factors.size(); ++f) {
        if (f > 0) name += '_';
        name += data.columns.GroupingColumn(term.factors[f] + 1).name;
    }
    return name;
}

// `variableName` is empty for a design of one variable.
KeySection FactorialTable(const GenerationSetup& setup, const WrittenData& data, int variable,
                          const std::string& variableName) {
    const std::string prefix = variableName.empty() ? std::string() : variableName + "_";
    Column values;
    std::vector<std::array<int, 3>> levels;
    for (std::size_t c = 0; c < data.cells.size(); ++c) {
        const DesignCell& cell = data.layout.blocks[c].cell;
        for (double value : data.cells[c][static_cast<std::size_t>(variable)]) {
            values.push_back(value);
            levels.push_back(cell.levels);
        }
    }
    std::vector<int> counts{setup.levelsFactor1, setup.levelsFactor2};
    if (setup.factorCount == 3) counts.push_back(setup.levelsFactor3);
    const FactorialAnova anova = AnalyseFactorial(values, levels, counts);
    KeySection section{"Factorial ANOVA, Type III sums of squares" +
                           (variableName.empty() ? std::string() : " (" + variableName + ")"),
                       {}};
    for (const AnovaTerm& term : anova.terms) {
        const std::string name = prefix + TermName(data, term);
        section.figures.insert(
            section.figures.end(),
            {Statistic(name + "_ss", term.sumOfSquares), Count(name + "_df", term.df),
             Statistic(name + "_f", term.f), Probability(name + "_p", term.p),
             Statistic(name + "_partial_eta_squared", term.partialEtaSquared)});
    }
    section.figures.push_back(Statistic(prefix + "residual_ss", anova.residualSumOfSquares));
    section.figures.push_back(Count(prefix + "residual_df", anova.residualDf));
    // A cell without scores leaves the Type III tests undefined; the key says why.
    section.figures.push_back(Count(prefix + "empty_cells", anova.emptyCells));
    return section;
}

// The intercept's and each predictor's estimate, SE, t or z (`statistic`) and p.
void AddCoefficients(KeySection& section, const WrittenData& data,
                     const std::vector<Coefficient>& coefficients, const std::string& statistic) {
    for (std::size_t c = 0; c < coefficients.size(); ++c) {
        const std::string name = c == 0 ? "intercept" : data.ScoreName(static_cast<int>(c) + 1);
        const Coefficient& b = coefficients[c];
        section.figures.insert(
            section.figures.end(),
            {Statistic(name + "_estimate", b.estimate), Statistic(name + "_se", b.se),
             Statistic(name + statistic, b.t), Probability(name + "_p", b.p)});
    }
}

KeySection RegressionTable(const WrittenData& data) {
    const std::vector<Column>& columns = data.cells.front();
    std::vector<std::span<const double>> predictors(columns.begin() + 1, columns.end());
    const RegressionFit fit = FitRegression(columns.front(), predictors);
    KeySection section{"Regression of " + data.ScoreName(1) + " on the predictors (complete cases)",
                       {}};
    AddCoefficients(section, data, fit.coefficients, "_t");
    section.figures.insert(section.figures.end(),
                           {Count("n", fit.n), Statistic("r_squared", fit.rSquared),
                            Statistic("adjusted_r_squared", fit.adjustedRSquared),
                            Statistic("model_f", fit.f), Count("model_df1", fit.dfModel),
                            // The F test's own degrees of freedom, where there is one.
                            Count("model_df2", std::isnan(fit.f) ? kMissingValue : fit.dfResidual),
                            Probability("model_p", fit.p)});
    return section;
}

// summary(glm(y ~ x1 + ..., family = binomial)) of an outcome of 0s and 1s.
KeySection LogisticTable(const WrittenData& data) {
    const std::vector<Column>& columns = data.cells.front();
    std::vector<std::span<const double>> predictors(columns.begin() + 1, columns.end());
    const LogisticFit fit = FitLogistic(columns.front(), predictors);
    KeySection section{
        "Logistic regression of " + data.ScoreName(1) + " on the predictors (complete cases)", {}};
    AddCoefficients(section, data, fit.coefficients, "_z");
    section.figures.insert(
        section.figures.end(),
        {Count("n", fit.n), Statistic("null_deviance", fit.nullDeviance),
         Count("null_df", fit.nullDf), Statistic("residual_deviance", fit.residualDeviance),
         Count("residual_df", fit.residualDf), Statistic("aic", fit.aic),
         Count("iterations", fit.iterations)});
    return section;
}

// psych::alpha(items) of a correlated design's variables taken as the items of one scale,
// each reverse-keyed item reversed first as a student would ("6 - var3").
KeySection ScaleSection(const GenerationSetup& setup, const WrittenData& data) {
    std::vector<Column> columns = data.cells.front();
    std::string reversals;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int variable = static_cast<int>(i) + 1;
        if (!data.columns.ScoreColumn(variable).reversed) continue;
        const double sum = ReversingSumOf(setup, variable).value_or(0.0);
        for (double& score : columns[i]) score = sum - score;
        reversals += "; " + ShortestText(sum) + " - " + data.ScoreName(variable);
    }
    const ScaleReliability scale =
        AnalyseScale(std::vector<std::span<const double>>(columns.begin(), columns.end()));
    KeySection section{
        "Reliability of the scale (psych::alpha, pairwise covariances" + reversals + ")", {}};
    section.figures.insert(
        section.figures.end(),
        {Statistic("alpha", scale.alpha), Statistic("standardised_alpha", scale.standardisedAlpha),
         Statistic("mean_inter_item_r", scale.meanInterItemR),
         Statistic("scale_mean", scale.meanScore.mean), Statistic("scale_sd", scale.meanScore.sd)});
    for (std::size_t i = 0; i < scale.items.size(); ++i) {
        const std::string name = data.ScoreName(static_cast<int>(i) + 1);
        const ScaleItem& item = scale.items[i];
        section.figures.insert(
            section.figures.end(),
            {Statistic(name + "_r_drop", item.correctedItemTotalR),
             Statistic(name + "_alpha_if_dropped", item.alphaIfDropped),
             Statistic(name + "_std_alpha_if_dropped", item.standardisedAlphaIfDropped)});
    }
    return section;
}

// Correlations of every pair of variables within each cell (the whole sample for one cell).
KeySection WithinCellCorrelations(const GenerationSetup& setup, const WrittenData& data,
                                  const std::string& heading) {
    KeySection section{heading, {}};
    const int n = data.layout.variableCount;
    for (std::size_t c = 0; c < data.cells.size(); ++c) {
        const DesignCell& cell = data.layout.blocks[c].cell;
        const std::vector<std::span<const double>> columns(data.cells[c].begin(),
                                                           data.cells[c].begin() + n);
        const std::vector<CorrelationTest> tests = CorrelateEveryPair(columns);
        auto test = tests.begin();
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                std::string name =
                    data.cells.size() > 1 ? CellName(setup, data, cell) + "_r" : std::string("r");
                name += std::to_string(10 * (i + 1) + (j + 1));
                AddCorrelation(section, name, *test++);
            }
        }
    }
    return section;
}

}  // namespace

namespace {

KeySection BoxFigures(const GenerationSetup& setup, const WrittenData& data) {
    KeySection boxes{"N, mean and SD of each group, cell or variable", {}};
    for (std::size_t c = 0; c < data.cells.size(); ++c) {
        for (int v = 0; v < data.layout.variableCount; ++v) {
            const std::string label = CellLabel(setup, data, data.layout.blocks[c].cell, v);
            const Summary s = Summarise(data.cells[c][static_cast<std::size_t>(v)]);
            const int decimals = data.Decimals(c, v);
            boxes.figures.insert(boxes.figures.end(), {Count(label + "_n", s.n),
                                                       Score(label + "_mean", s.mean, decimals),
                                                       Score(label + "_sd", s.sd, decimals)});
        }
    }
    return boxes;
}

// Each variable compared across the groups: t tests for two, the ANOVA for more.
void AddGroupComparisons(std::vector<KeySection>& sections, const WrittenData& data) {
    const int variables = data.layout.variableCount;
    for (int v = 0; v < variables; ++v) {
        const std::string& name = data.ScoreName(v + 1);
        sections.push_back(GroupComparison(variables == 1 ? "Two independent groups" : name,
                                           variables == 1 ? "" : name + "_",
                                           ColumnOfEachCell(data, v), data.Decimals(v)));
    }
}

std::vector<KeySection> TwoVariableSections(const GenerationSetup& setup, const WrittenData& data) {
    if (data.cells.size() == 1) {
        KeySection paired{"Paired scores (" + data.ScoreName(1) + " minus " + data.ScoreName(2) +
                              ", complete pairs)",
                          {}};
        AddPairedTest(paired, "", data.cells[0][0], data.cells[0][1],
                      std::max(data.Decimals(0), data.Decimals(1)), true);
        return {paired};
    }
    std::vector<KeySection> sections;
    AddGroupComparisons(sections, data);
    sections.push_back(WithinCellCorrelations(setup, data, "Correlations within each group"));
    sections.push_back(PairedWithinCells(setup, data));
    return sections;
}

std::vector<KeySection> FactorialSections(const GenerationSetup& setup, const WrittenData& data) {
    std::vector<KeySection> sections;
    const int variables = data.layout.variableCount;
    for (int v = 0; v < variables; ++v) {
        sections.push_back(
            FactorialTable(setup, data, v, variables == 1 ? "" : data.ScoreName(v + 1)));
    }
    if (variables == 2) {
        sections.push_back(WithinCellCorrelations(setup, data, "Correlations within each cell"));
        sections.push_back(PairedWithinCells(setup, data));
    }
    return sections;
}

// The scores of every case on the design's occasions, with its group or cell.
RepeatedScores OccasionsOf(const GenerationSetup& setup, const WrittenData& data) {
    RepeatedScores scores;
    scores.occasions = data.layout.variableCount;
    const bool inGroups = setup.family == DesignFamily::TwoVariablesInGroups ||
                          setup.family == DesignFamily::TwoGroupsMultiVariable;
    const int factors = setup.family == DesignFamily::Factorial ? 2
                        : inGroups && data.cells.size() > 1     ? 1
                                                                : 0;
    if (factors >= 1) {
        scores.levelsA = factors == 2 ? setup.levelsFactor1 : static_cast<int>(data.cells.size());
        scores.nameA = data.columns.GroupingColumn(1).name;
    }
    if (factors == 2) {
        scores.levelsB = setup.levelsFactor2;
        scores.nameB = data.columns.GroupingColumn(2).name;
    }
    for (std::size_t c = 0; c < data.cells.size(); ++c) {
        const DesignCell& cell = data.layout.blocks[c].cell;
        const std::vector<Column>& columns = data.cells[c];
        for (std::size_t row = 0; row < columns.front().size(); ++row) {
            std::vector<double> occasions;
            for (const Column& column : columns) occasions.push_back(column[row]);
            scores.scores.push_back(std::move(occasions));
            scores.levelA.push_back(factors >= 1 ? cell.levels[0] : 1);
            scores.levelB.push_back(factors == 2 ? cell.levels[1] : 1);
        }
    }
    return scores;
}

void AddRepeatedEffect(KeySection& section, const RepeatedEffect& effect) {
    std::string prefix = "rm_" + effect.name + "_";
    std::replace(prefix.begin(), prefix.end(), ':', '_');
    section.figures.insert(section.figures.end(),
                           {Statistic(prefix + "F", effect.f), Count(prefix + "df1", effect.df1),
                            Count(prefix + "df2", effect.df2), Probability(prefix + "p", effect.p),
                            Statistic(prefix + "pes", effect.partialEtaSquared),
                            Statistic(prefix + "ges", effect.generalizedEtaSquared)});
    if (!effect.within) return;
    const double hf =
        std::isnan(effect.hfEpsilon) ? kMissingValue : std::min(1.0, effect.hfEpsilon);
    section.figures.insert(
        section.figures.end(),
        {Statistic(prefix + "gg_epsilon", effect.ggEpsilon),
         Statistic(prefix + "gg_df1", effect.df1 * effect.ggEpsilon),
         Statistic(prefix + "gg_df2", effect.df2 * effect.ggEpsilon),
         Probability(prefix + "gg_p", effect.ggP),
         Statistic(prefix + "hf_epsilon", effect.hfEpsilon),
         Statistic(prefix + "hf_df1", effect.df1 * hf),
         Statistic(prefix + "hf_df2", effect.df2 * hf), Probability(prefix + "hf_p", effect.hfP),
         Statistic(prefix + "mauchly_w", effect.mauchlyW),
         Probability(prefix + "mauchly_p", effect.mauchlyP)});
}

// The occasions as one within factor, crossed with the design's groups or cells.
KeySection RepeatedMeasuresSection(const GenerationSetup& setup, const WrittenData& data) {
    const RepeatedMeasuresAnova anova = AnalyseRepeatedMeasures(OccasionsOf(setup, data));
    KeySection section{
        "Repeated measures ANOVA (the variables as occasions; complete cases, "
        "Type III, Greenhouse-Geisser and Huynh-Feldt corrections, paired t tests "
        "with Holm's adjustment)",
        {Count("rm_n", anova.completeCases), Count("rm_left_out", anova.casesLeftOut)}};
    for (const RepeatedEffect& effect : anova.effects) AddRepeatedEffect(section, effect);
    int decimals = 0;
    for (int v = 0; v < data.layout.variableCount; ++v)
        decimals = std::max(decimals, data.Decimals(v));
    for (const OccasionComparison& pair : anova.comparisons) {
        const std::string prefix =
            data.ScoreName(pair.first) + "_" + data.ScoreName(pair.second) + "_rm_";
        section.figures.insert(
            section.figures.end(),
            {Score(prefix + "mean_difference", pair.meanDifference, decimals),
             Statistic(prefix + "t", pair.t), Count(prefix + "df", pair.df),
             Probability(prefix + "p", pair.p), Probability(prefix + "p_holm", pair.holmP)});
    }
    return section;
}

// The tests the design calls for, after the figures of every box.
std::vector<KeySection> DesignSections(const GenerationSetup& setup, const WrittenData& data) {
    switch (setup.family) {
        case DesignFamily::OneWay:
            if (data.cells.size() == 1) return {OneSampleSection(setup, data)};
            return {
                GroupComparison(data.cells.size() == 2 ? "Two independent groups" : "One-way ANOVA",
                                "", ColumnOfEachCell(data, 0), data.Decimals(0))};
        case DesignFamily::TwoGroupsMultiVariable: {
            std::vector<KeySection> sections;
            AddGroupComparisons(sections, data);
            if (data.layout.variableCount > 1) {
                sections.push_back(
                    WithinCellCorrelations(setup, data, "Correlations within each group"));
            }
            return sections;
        }
        case DesignFamily::TwoVariablesInGroups:
            return TwoVariableSections(setup, data);
        case DesignFamily::Factorial:
            return FactorialSections(setup, data);
        case DesignFamily::Regression:
            return {setup.binaryOutcome ? LogisticTable(data) : RegressionTable(data)};
        case DesignFamily::Correlated:
            return {WithinCellCorrelations(setup, data,
                                           "Correlations (pairwise complete, two-sided p)")};
        case DesignFamily::Categorical:
            break;  // keyed by the counts alone
    }
    return {};
}

}  // namespace

AnswerKey ComputeAnswerKey(const GenerationSetup& setup, const WrittenScores& scores) {
    AnswerKey key;
    if (setup.family == DesignFamily::Categorical) {
        key.sections = CategoricalKeySections(setup, DataColumnsOf(setup), scores);
        return key;
    }
    const WrittenData data = ReadWritten(setup, scores);
    key.sections.push_back(BoxFigures(setup, data));
    for (KeySection& section : DesignSections(setup, data)) {
        key.sections.push_back(std::move(section));
    }
    if (TakesRepeatedMeasures(setup)) {
        key.sections.push_back(RepeatedMeasuresSection(setup, data));
    }
    if (TakesScaleItems(setup)) key.sections.push_back(ScaleSection(setup, data));
    return key;
}

}  // namespace zek
