#include "commands/names_form.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/runnable_setup.h"

namespace zek {
namespace {

// A design shows rows for its own columns and levels; the names of columns it lacks stay for
// a design that has them again, and an emptied row gives its column back its default.
TEST(NamesFormTest, ADesignKeepsTheNamesOfTheColumnsItShares) {
    ColumnNames names;
    names.names = {{"group", "condition"}, {"dv", "recall"}};
    names.levelLabels = {{"group", {{2, "Caffeine"}}}};

    const GenerationSetup twoGroupsTwoVariables =
        testing::RunnableSetup(DesignKind::TwoGroupsDV2, 1);
    std::vector<NameRow> rows = NameRowsOf(twoGroupsTwoVariables, names);
    std::vector<std::string> captions;
    for (const NameRow& row : rows) captions.push_back(row.Caption());
    EXPECT_EQ(captions,
              (std::vector<std::string>{"id", "group", "group 1", "group 2", "dv1", "dv2"}));
    EXPECT_EQ(rows[1].name, "condition");
    EXPECT_EQ(rows[3].label, "Caffeine");

    rows[1].name.clear();  // group back to its default
    rows[4].name = "pre";
    const Checked<ColumnNames> read = ReadNameRows(rows, names);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->NameOf("group"), "group");
    EXPECT_EQ(read->NameOf("dv1"), "pre");
    EXPECT_EQ(read->NameOf("dv"), "recall") << "kept for the designs that have it";
    EXPECT_EQ(read->LevelLabelOf("group", 2), "Caffeine");

    rows[5].name = "PRE";
    const Checked<ColumnNames> twice = ReadNameRows(rows, names);
    ASSERT_FALSE(twice);
    EXPECT_EQ(twice.refusal().message,
              "dv2: The NAME \"PRE\" is given to two columns of the data file");
}

// Only a correlated variable's row can be reverse-keyed; unticking it takes it back, and a
// design without such rows keeps the ticks for one that has them.
TEST(NamesFormTest, CorrelatedVariablesCanBeReverseKeyed) {
    ColumnNames names;
    names.reversed = {"var2"};
    std::vector<NameRow> rows =
        NameRowsOf(testing::RunnableSetup(DesignKind::Correlated3, 1), names);
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_FALSE(rows[0].reversible);
    EXPECT_TRUE(rows[1].reversible && !rows[1].reversed);
    EXPECT_TRUE(rows[2].reversed);
    rows[2].reversed = false;
    rows[3].reversed = true;
    const Checked<ColumnNames> read = ReadNameRows(rows, names);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->reversed, (std::set<std::string>{"var3"}));

    const std::vector<NameRow> twoGroups =
        NameRowsOf(testing::RunnableSetup(DesignKind::TwoGroupsDV2, 1), names);
    EXPECT_TRUE(std::none_of(twoGroups.begin(), twoGroups.end(),
                             [](const NameRow& row) { return row.reversible; }));
    EXPECT_EQ(ReadNameRows(twoGroups, names)->reversed, names.reversed);
}

// The plot page's panels and axes take the names; without names they keep the window's.
TEST(NamesFormTest, PanelsAreCalledByTheirLevelsAndVariables) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::TwoDV2x2, 1);
    const std::vector<std::string> window(kBoxCount, "Box");
    EXPECT_EQ(NamedBoxCaptions(setup, window), window);
    EXPECT_TRUE(NamedVariables(setup).empty());
    setup.columnNames.names = {{"factor1", "dose"}, {"dv2", "later"}};
    setup.columnNames.levelLabels = {{"factor2", {{1, "Morning"}}}};
    const std::vector<std::string> named = NamedBoxCaptions(setup, window);
    EXPECT_EQ(named[0], "dose 1, Morning: dv1");
    EXPECT_EQ(named[2], "dose 1, Morning: later");
    EXPECT_EQ(NamedVariables(setup), (std::vector<std::string>{"dv1", "later"}));
}

}  // namespace
}  // namespace zek
