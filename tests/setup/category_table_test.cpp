#include "setup/category_table.h"

#include <gtest/gtest.h>

namespace zek {
namespace {

CategoryTableTexts TwoByThree(std::vector<std::string> percentages) {
    CategoryTableTexts texts;
    texts.rows = 2;
    texts.columns = 3;
    texts.percentages = std::move(percentages);
    texts.n = "120";
    return texts;
}

TEST(CategoryTable, CellPercentagesMustAddUpToAHundredAndSaySoWithTheirSum) {
    const Checked<CategoryTable> good =
        ReadCategoryTable(TwoByThree({"10", "20", "30", "15", "15", "10"}), '.');
    ASSERT_TRUE(good);
    EXPECT_EQ(good->Percentage(1, 0), 15.0);
    EXPECT_EQ(good->TotalN(), 120);

    // Typed thirds add up to 100 only to within rounding, and pass.
    CategoryTableTexts thirds;
    thirds.rows = 3;
    thirds.percentages = {"33.33", "33.33", "33.34"};
    thirds.n = "30";
    EXPECT_TRUE(ReadCategoryTable(thirds, '.'));

    const Checked<CategoryTable> short_ =
        ReadCategoryTable(TwoByThree({"10", "20", "30", "15", "15", "7.5"}), '.');
    EXPECT_EQ(short_.refusal().message,
              "The cell percentages must add up to 100 (they add up to 97.5)");
    // The user's decimal separator, in what is read and in what is said.
    EXPECT_EQ(
        ReadCategoryTable(TwoByThree({"10", "20", "30", "15", "15", "7,5"}), ',').refusal().message,
        "The cell percentages must add up to 100 (they add up to 97,5)");
    thirds.percentages = {"50", "50", "12.25"};
    EXPECT_EQ(ReadCategoryTable(thirds, '.').refusal().message,
              "The category percentages must add up to 100 (they add up to 112.25)");
}

TEST(CategoryTable, EachEntryIsRefusedByName) {
    EXPECT_EQ(
        ReadCategoryTable(TwoByThree({"10", "abc", "30", "15", "15", "10"}), '.').refusal().message,
        "The percentage of cell (1,2) must be a number above 0 and at most 100");
    EXPECT_EQ(
        ReadCategoryTable(TwoByThree({"10", "20", "30", "0", "30", "10"}), '.').refusal().focus,
        "txt_pct4");
    CategoryTableTexts texts = TwoByThree({"10", "20", "30", "15", "15", "10"});
    texts.n = "1";
    EXPECT_EQ(ReadCategoryTable(texts, '.').refusal().message,
              "N must be a whole number from 2 to 25000");
    texts.n = "25001";
    EXPECT_FALSE(ReadCategoryTable(texts, '.'));
}

// Proportions in groups: each column is a group of its own N whose percentages add up to 100.
TEST(CategoryTable, PercentagesWithinColumnsAddUpToAHundredInEachColumn) {
    CategoryTableTexts texts;
    texts.rows = 2;
    texts.columns = 2;
    texts.percentagesOf = PercentagesOf::ColumnsCases;
    texts.percentages = {"30", "60", "70", "40"};
    texts.columnN = {"50", "80"};
    const Checked<CategoryTable> table = ReadCategoryTable(texts, '.');
    ASSERT_TRUE(table);
    EXPECT_EQ(table->TotalN(), 130);
    EXPECT_EQ(table->ColumnN(1), 80);
    texts.percentages = {"30", "60", "70", "30"};
    EXPECT_EQ(ReadCategoryTable(texts, '.').refusal().message,
              "The percentages of column 2 must add up to 100 (they add up to 90)");
    texts.percentages = {"30", "60", "70", "40"};
    texts.columnN = {"50", "x"};
    EXPECT_EQ(ReadCategoryTable(texts, '.').refusal().message,
              "N of column 2 must be a whole number from 2 to 25000");
}

}  // namespace
}  // namespace zek
