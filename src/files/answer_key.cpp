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

// The scores of each cell (group or cell of the design) and variable, as written.
struct WrittenData {
    DataLayout layout;
    std::vector<std::vector<Column>> cells;  ///< [cell][variable]
};

WrittenData ReadWritten(const GenerationSetup& setup, const ScoreTable& generated) {
    WrittenData data{LayoutOf(setup), {}};
    for (const DataBlock& block : data.layout) {
        std::vector<Column> variables(static_cast<std::size_t>(data.layout.variableCount));
        for (int v = 0; v < data.layout.variableCount; ++v) {
            const int decimals = setup.Box(block.BoxOfColumn(v)).decimals;
            for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                variables[static_cast<std::size_t>(v)].push_back(
                    ScoreAsWritten(setup, generated.At(row, v), decimals));
            }
        }
        data.cells.push_back(std::move(variables));
    }
    return data;
}

std::string Number(std::string_view stem, int k) {
    std::string name(stem);
    AppendInteger(name, k);
    return name;
}

// The column name of variable v of a cell, as the data file's header and factor codes name it.
std::string CellLabel(const GenerationSetup& setup, const DesignCell& cell, int variable) {
    const int v = variable + 1;
    switch (setup.family) {
        case DesignFamily::OneWay:
            return Number("group", cell.levels[0]);
        case DesignFamily::TwoGroupsMultiVariable:
            return setup.variableCount == 1 ? Number("group", cell.levels[0])
                                            : Number("group", cell.levels[0]) + Number("_dv", v);
        case DesignFamily::TwoVariablesInGroups:
            return Number("group", cell.levels[0]) + Number("_var", v);
        case DesignFamily::Factorial: {
            std::string label = "cell";
            for (int f = 0; f < cell.levelCount; ++f) AppendInteger(label, cell.levels[f]);
            return setup.variableCount == 2 ? label + Number("_dv", v) : label;
        }
        case DesignFamily::Regression:
            return v == 1 ? "y" : Number("x", v - 1);
        case DesignFamily::Correlated:
            return Number("var", v);
    }
    return {};
}

void AddTwoGroupTests(KeySection& section, const std::string& prefix, const Column& first,
                      const Column& second) {
    const TwoGroupTests t = CompareTwoGroups(first, second);
    section.figures.insert(section.figures.end(), {{prefix + "mean_difference", t.meanDifference},
                                                   {prefix + "student_t", t.studentT},
                                                   {prefix + "student_df", t.studentDf},
                                                   {prefix + "student_p", t.studentP},
                                                   {prefix + "welch_t", t.welchT},
                                                   {prefix + "welch_df", t.welchDf},
                                                   {prefix + "welch_p", t.welchP},
                                                   {prefix + "cohens_d", t.cohensD}});
}

void AddOneWayAnova(KeySection& section, const std::string& prefix,
                    const std::vector<Column>& groups) {
    const OneWayAnova a = AnalyseGroups(groups);
    section.figures.insert(section.figures.end(), {{prefix + "anova_f", a.f},
                                                   {prefix + "anova_df1", a.dfBetween},
                                                   {prefix + "anova_df2", a.dfWithin},
                                                   {prefix + "anova_p", a.p},
                                                   {prefix + "eta_squared", a.etaSquared}});
}

// Two groups get the t tests, more groups the one-way ANOVA.
KeySection GroupComparison(const std::string& heading, const std::string& prefix,
                           const std::vector<Column>& groups) {
    KeySection section{heading, {}};
    if (groups.size() == 2) {
        section.heading += " (group 1 minus group 2)";
        AddTwoGroupTests(section, prefix, groups[0], groups[1]);
    } else {
        AddOneWayAnova(section, prefix, groups);
    }
    return section;
}

void AddCorrelation(KeySection& section, const std::string& name, const Column& x,
                    const Column& y) {
    const CorrelationTest r = Correlate(x, y);
    section.figures.insert(section.figures.end(),
                           {{name, r.r}, {name + "_n", r.n}, {name + "_p", r.p}});
}

std::vector<Column> ColumnOfEachCell(const WrittenData& data, int variable) {
    std::vector<Column> columns;
    for (const std::vector<Column>& cell : data.cells) {
        columns.push_back(cell[static_cast<std::size_t>(variable)]);
    }
    return columns;
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
        std::string name = prefix + term.name;
        for (char& c : name) {
            if (c == ':') c = '_';
        }
        section.figures.insert(section.figures.end(), {{name + "_ss", term.sumOfSquares},
                                                       {name + "_df", term.df},
                                                       {name + "_f", term.f},
                                                       {name + "_p", term.p}});
    }
    section.figures.push_back({prefix + "residual_ss", anova.residualSumOfSquares});
    section.figures.push_back({prefix + "residual_df", anova.residualDf});
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
        section.figures.insert(section.figures.end(), {{name + "_estimate", b.estimate},
                                                       {name + "_se", b.se},
                                                       {name + "_t", b.t},
                                                       {name + "_p", b.p}});
    }
    section.figures.insert(section.figures.end(), {{"n", fit.n},
                                                   {"r_squared", fit.rSquared},
                                                   {"adjusted_r_squared", fit.adjustedRSquared},
                                                   {"model_f", fit.f},
                                                   {"model_df1", fit.dfModel},
                                                   {"model_df2", fit.dfResidual},
                                                   {"model_p", fit.p}});
    return section;
}

// Correlations of every pair of variables within each cell (the whole sample for one cell).
KeySection WithinCellCorrelations(const WrittenData& data, const std::string& heading) {
    KeySection section{heading, {}};
    const int n = data.layout.variableCount;
    for (std::size_t c = 0; c < data.cells.size(); ++c) {
        const DesignCell& cell = data.layout.blocks[c].cell;
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                std::string name = data.cells.size() > 1 ? Number("group", cell.levels[0]) + "_r"
                                                         : std::string("r");
                AppendInteger(name, 10 * (i + 1) + (j + 1));
                AddCorrelation(section, name, data.cells[c][static_cast<std::size_t>(i)],
                               data.cells[c][static_cast<std::size_t>(j)]);
            }
        }
    }
    return section;
}

// A figure in the plain-text key: whole numbers as such, others to 6 significant digits.
void AppendFigure(std::string& out, double value, int significant) {
    if (std::isnan(value)) {
        out += "NA";
        return;
    }
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        AppendInteger(out, static_cast<std::int64_t>(value));
        return;
    }
    std::array<char, 64> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, significant);
    out.append(buffer.data(), result.ptr);
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
            boxes.figures.insert(
                boxes.figures.end(),
                {{label + "_n", s.n}, {label + "_mean", s.mean}, {label + "_sd", s.sd}});
        }
    }
    key.sections.push_back(boxes);

    const int variables = data.layout.variableCount;
    const std::size_t groups = data.cells.size();
    switch (setup.family) {
        case DesignFamily::OneWay:
            if (groups >= 2) {
                key.sections.push_back(
                    GroupComparison(groups == 2 ? "Two independent groups" : "One-way ANOVA", "",
                                    ColumnOfEachCell(data, 0)));
            }
            break;
        case DesignFamily::TwoGroupsMultiVariable:
            for (int v = 0; v < variables; ++v) {
                key.sections.push_back(GroupComparison(
                    variables == 1 ? "Two independent groups" : Number("dv", v + 1),
                    variables == 1 ? "" : Number("dv", v + 1) + "_", ColumnOfEachCell(data, v)));
            }
            if (variables > 1) {
                key.sections.push_back(
                    WithinCellCorrelations(data, "Correlations within each group"));
            }
            break;
        case DesignFamily::TwoVariablesInGroups:
            if (groups == 1) {
                const PairedTest t = ComparePairs(data.cells[0][0], data.cells[0][1]);
                key.sections.push_back({"Paired scores (var1 minus var2, complete pairs)",
                                        {{"paired_n", t.n},
                                         {"mean_difference", t.meanDifference},
                                         {"paired_t", t.t},
                                         {"paired_df", t.df},
                                         {"paired_p", t.p},
                                         {"r", t.r}}});
            } else {
                for (int v = 0; v < variables; ++v) {
                    key.sections.push_back(GroupComparison(Number("var", v + 1),
                                                           Number("var", v + 1) + "_",
                                                           ColumnOfEachCell(data, v)));
                }
                key.sections.push_back(
                    WithinCellCorrelations(data, "Correlations within each group"));
            }
            break;
        case DesignFamily::Factorial:
            for (int v = 0; v < variables; ++v) {
                key.sections.push_back(FactorialTable(
                    setup, data, v, variables == 1 ? "" : Number("dv", v + 1) + "_"));
            }
            break;
        case DesignFamily::Regression:
            key.sections.push_back(RegressionTable(data));
            break;
        case DesignFamily::Correlated:
            key.sections.push_back(
                WithinCellCorrelations(data, "Correlations (pairwise complete, two-sided p)"));
            break;
    }
    return key;
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
            AppendFigure(line, figure.value, 6);
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
                AppendFigure(line, figure.value, 10);
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
