#include "commands/category_form.h"

#include <gtest/gtest.h>

#include "commands/control_texts.h"

namespace zek {
namespace {

TEST(CategoryForm, SumsAreShownAsTypedOfTheTableOrOfEachColumn) {
    CategoryTableTexts texts = EvenCategoryTexts(2, 3);
    EXPECT_EQ(SumsOf(texts, '.').text, "Sum: 100%");
    EXPECT_TRUE(SumsOf(texts, '.').complete);
    // The window's decimal separator, in the even start and in the sum.
    texts = EvenCategoryTexts(2, 3, ',');
    EXPECT_EQ(texts.percentages[0], "16,66");
    texts.percentages[0] = "10,5";
    EXPECT_EQ(SumsOf(texts, ',').text, "Sum: 93,84% (must be 100%)");
    texts.percentages[0] = "";
    EXPECT_FALSE(SumsOf(texts, '.').complete);

    texts = WithPercentagesOf(EvenCategoryTexts(2, 2), PercentagesOf::ColumnsCases);
    // Each column starts with an even share of the N typed for all cases.
    EXPECT_EQ(texts.columnN, (std::vector<std::string>{"50", "50"}));
    texts.percentages = {"40", "70", "60", "20"};
    EXPECT_EQ(SumsOf(texts, '.').text, "Column sums: 100%, 90% (each must be 100%)");
}

TEST(CategoryForm, HeadersNameTheCategoriesByLabelOrByColumn) {
    ColumnNames names;
    names.names["var1"] = "smoker";
    names.levelLabels["var1"][2] = "former";
    EXPECT_EQ(CategoryHeader(names, 1, 1), "smoker = 1");
    EXPECT_EQ(CategoryHeader(names, 1, 2), "former");
    EXPECT_EQ(CategoryHeader(names, 2, 3), "var2 = 3");

    const CategoryTableTexts more = WithRows(EvenCategoryTexts(3, 1), 5);
    EXPECT_EQ(more.percentages.size(), 5u);
    EXPECT_EQ(more.percentages[0], "33.33");
    EXPECT_EQ(more.percentages[4], "");
}

}  // namespace
}  // namespace zek
