#include "setup/column_names.h"

#include <gtest/gtest.h>

#include <string>

namespace zek {
namespace {

// What SPSS or Stata refuse as a variable name is refused when it is typed or read, not when
// a file is written: in any letter case, and Stata's string types too.
TEST(ColumnNamesTest, WordsThatSpssOrStataKeepAreNoNames) {
    for (const char* word :
         {"if",   "IF",   "in",   "int",     "long", "byte", "float", "double", "using", "with",
          "strL", "strl", "str1", "str2045", "ALL",  "all",  "BY",    "by",     "TO",    "and",
          "Or",   "NOT",  "eq",   "GE",      "gt",   "le",   "LT",    "ne"}) {
        const Verdict verdict = CheckColumnName(word);
        ASSERT_TRUE(verdict) << word;
        EXPECT_EQ(verdict->message,
                  "A NAME may not be a word that SPSS or Stata keep for themselves (\"" +
                      std::string(word) + "\")");
    }
    for (const char* name : {"iffy", "to2", "string", "str", "str_1", "strength", "Byline"}) {
        EXPECT_FALSE(CheckColumnName(name)) << name;
    }
}

// A label is text: well-formed UTF-8 without control characters, counted in characters.
TEST(ColumnNamesTest, ALabelIsUtf8TextOfAtMost120Characters) {
    std::string accented;
    for (int k = 0; k < 120; ++k) accented += "\xC3\xA9";  // é
    EXPECT_FALSE(CheckColumnLabel(accented));
    EXPECT_EQ(CheckColumnLabel(accented + "e")->message,
              "A LABEL may be at most 120 characters long");
    EXPECT_FALSE(CheckColumnLabel("Mood (\xE2\x80\x9Chappy\xE2\x80\x9D) \xF0\x9F\x98\x80"));
    for (const std::string& bad :
         {std::string("caf\xC3"), std::string("\xFF"), std::string("\xC0\xAF"),
          std::string("\xED\xA0\x80"), std::string("a\0b", 3), std::string("a\tb"),
          std::string("a\x7F")}) {
        ASSERT_TRUE(CheckColumnLabel(bad)) << bad;
        EXPECT_EQ(CheckColumnLabel(bad)->message,
                  "A LABEL must be text (UTF-8) without control characters");
    }
    EXPECT_EQ(CheckColumnLabel("a, b")->message, "A LABEL may not hold a comma or a line break");
}

// Two levels of one factor never share a label, nor a key column: "A B" and "A_B" would both
// name "group_A_B".
TEST(ColumnNamesTest, TwoLevelsOfAFactorNeverShareALabelOrAKeyColumn) {
    EXPECT_FALSE(CheckLevelLabels({{1, "Placebo"}, {2, "Caffeine"}, {3, ""}, {4, ""}}));
    for (const auto& [first, second] : {std::pair<std::string, std::string>{"A", "A"},
                                        {"A B", "A_B"},
                                        {"low", "LOW"},
                                        {"caf\xC3\xA9", "caf\xC3\xA8"}}) {
        const Verdict verdict = CheckLevelLabels({{1, first}, {2, second}});
        ASSERT_TRUE(verdict) << first << " / " << second;
        EXPECT_EQ(verdict->message.rfind("The LABEL \"" + second + "\" is given to two levels", 0),
                  0u);
    }
    EXPECT_EQ(SafeNamePart("Rehearsal (spaced)"), "Rehearsal__spaced_");
    EXPECT_EQ(SafeNamePart("caf\xC3\xA9 au lait"), "caf__au_lait");
}

}  // namespace
}  // namespace zek
