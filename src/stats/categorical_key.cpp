#include "stats/categorical_key.h"

#include <cmath>

#include "stats/categorical_tests.h"

namespace zek {

namespace {

KeyFigure Count(std::string name, double value) {
    return {std::move(name), value, FigureKind::Count, 0};
}
KeyFigure Statistic(std::string name, double value) {
    return {std::move(name), value, FigureKind::Statistic, 0};
}
KeyFigure Probability(std::string name, double value) {
    return {std::move(name), value, FigureKind::Probability, 0};
}

// A category as a figure's name has it: "var1_2", or "smoker_never" once labelled.
std::string CategoryName(const DataColumn& column, int level) {
    const std::string label = column.LevelLabelOf(level);
    return column.name + "_" + (label.empty() ? std::to_string(level) : SafeNamePart(label));
}

KeySection GoodnessOfFitSection(const GenerationSetup& setup, const DataColumn& column,
                                const std::vector<double>& codes) {
    const CategoryTable& asked = setup.categories;
    std::vector<std::int64_t> observed(static_cast<std::size_t>(asked.rows), 0);
    for (const double code : codes) {
        if (!std::isnan(code)) ++observed[static_cast<std::size_t>(code) - 1];
    }
    std::vector<double> proportions;
    for (int row = 0; row < asked.rows; ++row) proportions.push_back(asked.Proportion(row, 0));
    const GoodnessOfFit fit = TestGoodnessOfFit(observed, proportions);
    KeySection section{
        "Categories (counts, expected counts at the asked percentages, chi-square goodness of "
        "fit)",
        {}};
    std::int64_t n = 0;
    for (const std::int64_t count : observed) n += count;
    section.figures.push_back(Count("n", static_cast<double>(n)));
    for (int level = 1; level <= asked.rows; ++level) {
        const std::string name = CategoryName(column, level);
        const auto k = static_cast<std::size_t>(level - 1);
        section.figures.push_back(Count(name + "_count", static_cast<double>(observed[k])));
        section.figures.push_back(
            Statistic(name + "_expected", fit.expected.empty() ? kMissingValue : fit.expected[k]));
    }
    section.figures.insert(
        section.figures.end(),
        {Statistic("chi_square", fit.test.statistic), Count("chi_square_df", fit.test.df),
         Probability("chi_square_p", fit.test.p),
         Statistic("smallest_expected", fit.smallestExpected)});
    return section;
}

KeySection IndependenceSection(const DataColumns& columns, const std::vector<double>& first,
                               const std::vector<double>& second, int rows, int columnCount) {
    CountTable table(rows, columnCount);
    for (std::size_t k = 0; k < first.size(); ++k) {
        if (std::isnan(first[k]) || std::isnan(second[k])) continue;
        ++table.At(static_cast<int>(first[k]) - 1, static_cast<int>(second[k]) - 1);
    }
    const IndependenceTests tests = TestIndependence(table);
    const bool twoByTwo = rows == 2 && columnCount == 2;
    KeySection section{twoByTwo ? "Table of counts (complete cases; chi-square test of "
                                  "independence, with Yates' correction as R's default, and "
                                  "Fisher's exact test)"
                                : "Table of counts (complete cases; chi-square test of "
                                  "independence)",
                       {Count("n", static_cast<double>(table.Total()))}};
    const DataColumn& rowColumn = columns.ScoreColumn(1);
    const DataColumn& columnColumn = columns.ScoreColumn(2);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columnCount; ++c) {
            const int cell = r * columnCount + c;
            const std::string name =
                CategoryName(rowColumn, r + 1) + "_" + CategoryName(columnColumn, c + 1);
            section.figures.push_back(Count(name + "_count", static_cast<double>(table.At(r, c))));
            section.figures.push_back(Statistic(
                name + "_expected", tests.expected.empty()
                                        ? kMissingValue
                                        : tests.expected[static_cast<std::size_t>(cell)]));
        }
    }
    section.figures.insert(section.figures.end(), {Statistic("chi_square", tests.pearson.statistic),
                                                   Count("chi_square_df", tests.pearson.df),
                                                   Probability("chi_square_p", tests.pearson.p)});
    if (twoByTwo) {
        const FisherExactTest fisher = TestFisherExact(table);
        section.figures.insert(
            section.figures.end(),
            {Statistic("chi_square_yates", tests.yates.statistic),
             Probability("chi_square_yates_p", tests.yates.p), Probability("fisher_p", fisher.p),
             Statistic("fisher_odds_ratio", fisher.oddsRatio),
             Statistic("fisher_lower", fisher.lower), Statistic("fisher_upper", fisher.upper),
             Statistic("phi", tests.phi)});
    }
    section.figures.insert(section.figures.end(),
                           {Statistic("cramers_v", tests.cramersV),
                            Statistic("smallest_expected", tests.smallestExpected)});
    return section;
}

}  // namespace

std::vector<KeySection> CategoricalKeySections(const GenerationSetup& setup,
                                               const DataColumns& columns,
                                               const WrittenScores& scores) {
    const std::vector<std::vector<double>>& block = scores.front();
    if (setup.variableCount == 1) {
        return {GoodnessOfFitSection(setup, columns.ScoreColumn(1), block[0])};
    }
    return {IndependenceSection(columns, block[0], block[1], setup.categories.rows,
                                setup.categories.columns)};
}

}  // namespace zek
