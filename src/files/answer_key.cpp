#include "files/answer_key.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <ostream>

#include "files/data_file.h"
#include "files/file_names.h"
#include "files/number_format.h"
#include "files/sample_tests.h"
#include "files/text_file.h"

namespace zek {

namespace {

using Column = std::vector<double>;

// The scores of each cell (group or cell of the design) and variable, as written, and the
// decimals they were written with.
struct WrittenData {
    DataLayout layout;
    std::vector<std::vector<Column>> cells;  ///< [cell][variable]
    std::vector<std::vector<int>> decimals;  ///< [cell][variable]

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

WrittenData ReadWritten(const GenerationSetup& setup, const ScoreTable& generated) {
    WrittenData data{LayoutOf(setup), {}, {}};
    for (const DataBlock& block : data.layout) {
        std::vector<Column> variables(static_cast<std::size_t>(data.layout.variableCount));
        std::vector<int> decimals;
        for (int v = 0; v < data.layout.variableCount; ++v) {
            const int places = setup.Box(block.BoxOfColumn(v)).decimals;
            decimals.push_back(places);
            for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                variables[static_cast<std::size_t>(v)].push_back(
                    ScoreAsWritten(setup, generated.At(row, v), places));
            }
        }
        data.cells.push_back(std::move(variables));
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
    std::string name(stem);
    AppendInteger(name, k);
    return name;
}

// The name of a cell as the data file's codes name it: "group2", "cell12".
std::string CellName(const GenerationSetup& setup, const DesignCell& cell) {
    if (setup.family != DesignFamily::Factorial) return Number("group", cell.levels[0]);
    std::string name = "cell";
    for (int f = 0; f < cell.levelCount; ++f) AppendInteger(name, cell.levels[f]);
    return name;
}

// The column name of variable v of a cell, as the data file's header and factor codes name it.
std::string CellLabel(const GenerationSetup& setup, const DesignCell& cell, int variable) {
    const int v = variable + 1;
    switch (setup.family) {
        case DesignFamily::OneWay:
            return CellName(setup, cell);
        case DesignFamily::TwoGroupsMultiVariable:
            return setup.variableCount == 1 ? CellName(setup, cell)
                                            : CellName(setup, cell) + Number("_dv", v);
        case DesignFamily::TwoVariablesInGroups:
            return CellName(setup, cell) + Number("_var", v);
        case DesignFamily::Factorial:
            return setup.variableCount == 2 ? CellName(setup, cell) + Number("_dv", v)
                                            : CellName(setup, cell);
        case DesignFamily::Regression:
            return v == 1 ? "y" : Number("x", v - 1);
        case DesignFamily::Correlated:
            return Number("var", v);
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
        AddPairedTest(section, CellName(setup, data.layout.blocks[c].cell) + "_", data.cells[c][0],
                      data.cells[c][1], std::max(data.Decimals(c, 0), data.Decimals(c, 1)), false);
    }
    return section;
}

void AddCorrelation(KeySection& section, const std::string& name, const Column& x,
                    const Column& y) {
    const CorrelationTest r = Correlate(x, y);
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
std::string TermName(const AnovaTerm& term) {
    std::string name;
    for (std::size_t f = 0; f < term.factors.size(); ++f) {
        if (f > 0) name += '_';
        name += Number("factor", term.factors[f] + 1);
    }
    return name;
}

KeySection FactorialTable(const GenerationSetup& setup, const WrittenData& data, int variable,
                          const std::string& prefix) {
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
                           (prefix.empty() ? std::string() : " (" + prefix.substr(0, 3) + ")"),
                       {}};
    for (const AnovaTerm& term : anova.terms) {
        const std::string name = prefix + TermName(term);
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

KeySection RegressionTable(const WrittenData& data) {
    const std::vector<Column>& columns = data.cells.front();
    std::vector<std::span<const double>> predictors(columns.begin() + 1, columns.end());
    const RegressionFit fit = FitRegression(columns.front(), predictors);
    KeySection section{"Regression of y on the predictors (complete cases)", {}};
    for (std::size_t c = 0; c < fit.coefficients.size(); ++c) {
        const std::string name = c == 0 ? "intercept" : Number("x", static_cast<int>(c));
        const Coefficient& b = fit.coefficients[c];
        section.figures.insert(
            section.figures.end(),
            {Statistic(name + "_estimate", b.estimate), Statistic(name + "_se", b.se),
             Statistic(name + "_t", b.t), Probability(name + "_p", b.p)});
    }
    section.figures.insert(section.figures.end(),
                           {Count("n", fit.n), Statistic("r_squared", fit.rSquared),
                            Statistic("adjusted_r_squared", fit.adjustedRSquared),
                            Statistic("model_f", fit.f), Count("model_df1", fit.dfModel),
                            Count("model_df2", fit.dfResidual), Probability("model_p", fit.p)});
    return section;
}

// Correlations of every pair of variables within each cell (the whole sample for one cell).
KeySection WithinCellCorrelations(const GenerationSetup& setup, const WrittenData& data,
                                  const std::string& heading) {
    KeySection section{heading, {}};
    const int n = data.layout.variableCount;
    for (std::size_t c = 0; c < data.cells.size(); ++c) {
        const DesignCell& cell = data.layout.blocks[c].cell;
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                std::string name =
                    data.cells.size() > 1 ? CellName(setup, cell) + "_r" : std::string("r");
                AppendInteger(name, 10 * (i + 1) + (j + 1));
                AddCorrelation(section, name, data.cells[c][static_cast<std::size_t>(i)],
                               data.cells[c][static_cast<std::size_t>(j)]);
            }
        }
    }
    return section;
}

// Fixed-point digits, without trailing zeros beyond `keep` places.
void AppendFixed(std::string& out, double value, int places, int keep) {
    std::array<char, 400> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, places);
    std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    if (const std::size_t point = text.find('.'); point != std::string_view::npos) {
        const std::size_t shortest = keep > 0 ? point + 1 + static_cast<std::size_t>(keep) : point;
        while (text.size() > shortest && text.back() == '0') text.remove_suffix(1);
        if (text.back() == '.') text.remove_suffix(1);
    }
    if (text == "-0") text = "0";
    out += text;
}

// Places after the point that give `significant` significant digits of `value`.
int PlacesForSignificant(double value, int significant) {
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    return std::max(0, significant - 1 - exponent);
}

}  // namespace

AnswerKey ComputeAnswerKey(const GenerationSetup& setup, const ScoreTable& generated) {
    const WrittenData data = ReadWritten(setup, generated);
    AnswerKey key;
    KeySection boxes{"N, mean and SD of each group, cell or variable", {}};
    for (std::size_t c = 0; c < data.cells.size(); ++c) {
        for (int v = 0; v < data.layout.variableCount; ++v) {
            const std::string label = CellLabel(setup, data.layout.blocks[c].cell, v);
            const Summary s = Summarise(data.cells[c][static_cast<std::size_t>(v)]);
            const int decimals = data.Decimals(c, v);
            boxes.figures.insert(boxes.figures.end(), {Count(label + "_n", s.n),
                                                       Score(label + "_mean", s.mean, decimals),
                                                       Score(label + "_sd", s.sd, decimals)});
        }
    }
    key.sections.push_back(boxes);

    const int variables = data.layout.variableCount;
    const std::size_t groups = data.cells.size();
    switch (setup.family) {
        case DesignFamily::OneWay:
            if (groups == 1) {
                key.sections.push_back(OneSampleSection(setup, data));
            } else {
                key.sections.push_back(
                    GroupComparison(groups == 2 ? "Two independent groups" : "One-way ANOVA", "",
                                    ColumnOfEachCell(data, 0), data.Decimals(0)));
            }
            break;
        case DesignFamily::TwoGroupsMultiVariable:
            for (int v = 0; v < variables; ++v) {
                key.sections.push_back(
                    GroupComparison(variables == 1 ? "Two independent groups" : Number("dv", v + 1),
                                    variables == 1 ? "" : Number("dv", v + 1) + "_",
                                    ColumnOfEachCell(data, v), data.Decimals(v)));
            }
            if (variables > 1) {
                key.sections.push_back(
                    WithinCellCorrelations(setup, data, "Correlations within each group"));
            }
            break;
        case DesignFamily::TwoVariablesInGroups:
            if (groups == 1) {
                KeySection paired{"Paired scores (var1 minus var2, complete pairs)", {}};
                AddPairedTest(paired, "", data.cells[0][0], data.cells[0][1],
                              std::max(data.Decimals(0), data.Decimals(1)), true);
                key.sections.push_back(paired);
            } else {
                for (int v = 0; v < variables; ++v) {
                    key.sections.push_back(
                        GroupComparison(Number("var", v + 1), Number("var", v + 1) + "_",
                                        ColumnOfEachCell(data, v), data.Decimals(v)));
                }
                key.sections.push_back(
                    WithinCellCorrelations(setup, data, "Correlations within each group"));
                key.sections.push_back(PairedWithinCells(setup, data));
            }
            break;
        case DesignFamily::Factorial:
            for (int v = 0; v < variables; ++v) {
                key.sections.push_back(FactorialTable(
                    setup, data, v, variables == 1 ? "" : Number("dv", v + 1) + "_"));
            }
            if (variables == 2) {
                key.sections.push_back(
                    WithinCellCorrelations(setup, data, "Correlations within each cell"));
                key.sections.push_back(PairedWithinCells(setup, data));
            }
            break;
        case DesignFamily::Regression:
            key.sections.push_back(RegressionTable(data));
            break;
        case DesignFamily::Correlated:
            key.sections.push_back(WithinCellCorrelations(
                setup, data, "Correlations (pairwise complete, two-sided p)"));
            break;
    }
    return key;
}

void AppendFigure(std::string& out, const KeyFigure& figure, int significant) {
    const double value = figure.value;
    if (!std::isfinite(value)) {
        out += "NA";
        return;
    }
    if (value == 0.0) {
        out += '0';
        return;
    }
    const double magnitude = std::fabs(value);
    switch (figure.kind) {
        case FigureKind::Count:
            if (value == std::trunc(value) && magnitude < 1e15) {
                AppendInteger(out, static_cast<std::int64_t>(value));
                return;
            }
            break;  // Welch's degrees of freedom are not whole
        case FigureKind::Score:
            if (magnitude < 1e15) {
                const int places =
                    std::max(figure.decimals + 2, PlacesForSignificant(value, significant));
                AppendFixed(out, value, places, figure.decimals);
                return;
            }
            break;
        case FigureKind::Statistic:
        case FigureKind::Probability:
            break;
    }
    if (magnitude >= 1e-4 && magnitude < 1e15) {
        AppendFixed(out, value, PlacesForSignificant(value, significant), 0);
        return;
    }
    std::array<char, 64> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, significant);
    out.append(buffer.data(), result.ptr);
}

void WriteAnswerKeyText(std::ostream& out, const AnswerKey& key, std::string_view dataFile,
                        std::int32_t seed) {
    LineWriter writer(out);
    writer.Line("ANSWER KEY");
    writer.Line("Data file: " + std::string(dataFile));
    std::string& seedLine = writer.line();
    seedLine += "Seed: ";
    AppendInteger(seedLine, seed);
    writer.EndLine();
    writer.Line("Computed from the data as written (rounded scores, missing values left out).");
    for (const KeySection& section : key.sections) {
        writer.Line("");
        writer.Line(section.heading);
        writer.Line(std::string(section.heading.size(), '-'));
        std::size_t width = 0;
        for (const KeyFigure& figure : section.figures) width = std::max(width, figure.name.size());
        for (const KeyFigure& figure : section.figures) {
            std::string& line = writer.line();
            line += "  ";
            line += figure.name;
            line.append(width - figure.name.size() + 2, ' ');
            AppendFigure(line, figure, 6);
            writer.EndLine();
        }
    }
    writer.Flush();
}

void WriteClassKey(std::ostream& out, const std::vector<ClassKeyRow>& rows) {
    LineWriter writer(out);
    std::string& header = writer.line();
    header += "dataset,seed,data_file";
    if (!rows.empty()) {
        for (const KeySection& section : rows.front().key.sections) {
            for (const KeyFigure& figure : section.figures) header += "," + figure.name;
        }
    }
    writer.EndLine();
    for (const ClassKeyRow& row : rows) {
        std::string& line = writer.line();
        AppendInteger(line, row.dataset);
        line += ',';
        AppendInteger(line, row.seed);
        line += ',';
        // The name alone, quoted where it holds a comma or a quote, as spreadsheets expect.
        std::string name = std::filesystem::path(row.dataFile).filename().string();
        if (name.find_first_of(",\"") != std::string::npos) {
            std::string quoted = "\"";
            for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            name = quoted + "\"";
        }
        line += name;
        for (const KeySection& section : row.key.sections) {
            for (const KeyFigure& figure : section.figures) {
                line += ',';
                AppendFigure(line, figure, 10);
            }
        }
        writer.EndLine();
    }
    writer.Flush();
}

std::string KeyFileNameFor(std::string_view dataFilePath) {
    return CompanionFileName(dataFilePath, "_key.TXT");
}

std::string ClassKeyFileNameFor(std::string_view dataFilePath) {
    return CompanionFileName(dataFilePath, "_key.csv");
}

}  // namespace zek
