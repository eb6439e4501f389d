#include "files/handouts_file.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zek {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(HandoutsFileTest, APageThatRunsOnSaysWhoseItIsAndANumberedDatasetHasNoEmptyId) {
    std::string instructions;
    for (int step = 1; step <= 60; ++step) {
        instructions += "Step " + std::to_string(step) + ": describe the groups.\n";
    }
    const Handouts handouts{"Week 3",
                            instructions,
                            {{"id", "the case's number"}, {"group", "codes 1 to 2"}},
                            true,
                            {{"s1", "Anna", "exam_s1.csv"}, {"", "Dataset 2", "exam_2.csv"}}};
    std::ostringstream out;
    WriteHandouts(out, handouts);
    const std::string pdf = out.str();
    EXPECT_EQ(Count(pdf, "/Type /Page "), 4u) << "two pages a student";
    EXPECT_EQ(Count(pdf, "(Anna \\(s1\\)) Tj"), 1u);
    EXPECT_EQ(Count(pdf, "(Anna \\(s1\\), continued) Tj"), 1u);
    EXPECT_EQ(Count(pdf, "(Dataset 2) Tj"), 1u);
    EXPECT_EQ(Count(pdf, "(Dataset 2, continued) Tj"), 1u);
    EXPECT_EQ(Count(pdf, "(Your data file: exam_2.csv) Tj"), 1u);
    EXPECT_EQ(Count(pdf, "(An empty field is a missing score.) Tj"), 2u);
}

TEST(HandoutsFileTest, ColumnsAreDescribedByTheirLabelsAndCodesWithoutThePopulation) {
    GenerationSetup setup;
    setup.columnNames.names["group"] = "condition";
    setup.columnNames.labels["group"] = "Experimental condition";
    setup.columnNames.levelLabels["group"][1] = "placebo";
    setup.columnNames.levelLabels["group"][2] = "caffeine";
    const std::vector<ColumnDescription> columns = DescribeColumns(setup);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[1].name, "condition");
    EXPECT_EQ(columns[1].holds, "Experimental condition (codes 1 to 2): 1 = placebo, 2 = caffeine");
    EXPECT_EQ(columns[2].holds, "scores");
}

}  // namespace
}  // namespace zek
