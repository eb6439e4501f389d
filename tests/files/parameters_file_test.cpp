#include "files/parameters_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "commands/control_texts.h"
#include "setup/number_parsing.h"
#include "support/parameters_text.h"
#include "support/text_files.h"

namespace zek {
namespace {

using testing::SplitCrLf;

using testing::Read;
using testing::Written;

TEST(ParametersFile, StartupSetupHasSixtyNineLines) {
    const auto lines = SplitCrLf(Written(ControlTexts{}));
    ASSERT_EQ(lines.size(), 69u);
    EXPECT_EQ(lines[0], "ZEK Generation Parameters File");
    EXPECT_EQ(lines[1], "===================Title for Output");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[4], "1804");
    EXPECT_EQ(lines[10], "2");
    EXPECT_EQ(lines[12], "box1.active");
    EXPECT_EQ(lines[13], "box2.active");
    EXPECT_EQ(lines[14], "box3.not");
    EXPECT_EQ(lines[20], "===================BOX 1=====");
    const std::vector<std::string> box2(lines.begin() + 30, lines.begin() + 40);
    EXPECT_EQ(box2,
              (std::vector<std::string>{"===================BOX 2=====", "0.0", "1.0", "25", "2",
                                        "min2.not", "", "max2.not", "", "nor2.checked"}));
    EXPECT_EQ(lines[40], "===================Correlations");
    EXPECT_EQ(lines[41], "0.0");
}

TEST(ParametersFile, CorrelationsAreStoredColumnByColumn) {
    ControlTexts texts;
    texts.design = DesignKind::Correlated8;
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j) {
            texts.correlations[CorrelationCellIndex(i, j)] = "r" + std::to_string(10 * i + j);
        }
    }
    const auto lines = SplitCrLf(Written(texts));
    ASSERT_EQ(lines.size(), 20u + 80u + 29u);
    const std::vector<std::string> firstSix(lines.end() - 28, lines.end() - 22);
    EXPECT_EQ(firstSix, (std::vector<std::string>{"r12", "r13", "r23", "r14", "r24", "r34"}));
    EXPECT_EQ(lines.back(), "r78");
}

ControlTexts VariedTexts(DesignKind design) {
    ControlTexts texts;
    texts.design = design;
    texts.title = "Übung 3: Körpergröße";
    texts.seed = "";
    texts.missing = "5";
    texts.extreme = "abc";
    const DistributionKind shapes[] = {DistributionKind::Normal, DistributionKind::Uniform,
                                       DistributionKind::SkewPos, DistributionKind::SkewNeg,
                                       DistributionKind::RandomlyChosen};
    for (int box = 1; box <= 8; ++box) {
        BoxTexts& b = texts.Box(box);
        b.mean = std::to_string(10 * box);
        b.sd = "1," + std::to_string(box);
        b.n = std::to_string(20 + box);
        b.decimals = std::to_string(box % 7);
        b.minChecked = box % 2 == 0;
        b.minText = b.minChecked ? "-" + std::to_string(box) : "";
        b.maxChecked = box % 3 == 0;
        b.maxText = b.maxChecked ? std::to_string(100 * box) : "";
        b.shape = shapes[box % 5];
    }
    for (int cell = 0; cell < kCorrelationCellCount; ++cell) {
        texts.correlations[cell] = "0." + std::to_string(cell);
    }
    return texts;
}

TEST(ParametersFile, EveryDesignRoundTrips) {
    for (const DesignInfo& design : DesignCatalogue()) {
        SCOPED_TRACE(std::string(design.radioButton));
        const ControlTexts texts = VariedTexts(design.kind);
        const ParametersFileReading reading = Read(Written(texts));
        ASSERT_EQ(reading.outcome, ParametersFileReading::Outcome::Complete);
        EXPECT_EQ(reading.title, texts.title);
        EXPECT_EQ(reading.seed, texts.seed);
        EXPECT_EQ(reading.missing, texts.missing);
        EXPECT_EQ(reading.extreme, texts.extreme);
        EXPECT_EQ(reading.designCode, design.fileCode);
        EXPECT_EQ(reading.correlations, texts.correlations);
        for (int box = 1; box <= 8; ++box) {
            ASSERT_EQ(reading.boxPresent[box - 1], design.activeBoxes.Contains(box));
            if (!design.activeBoxes.Contains(box)) continue;
            const BoxSection& section = reading.boxes[box - 1];
            const BoxTexts& b = texts.Box(box);
            EXPECT_EQ(section.mean, b.mean);
            EXPECT_EQ(section.sd, b.sd);
            EXPECT_EQ(section.n, b.n);
            EXPECT_EQ(section.decimals, b.decimals);
            EXPECT_EQ(section.minChecked, b.minChecked);
            EXPECT_EQ(section.minText, b.minText);
            EXPECT_EQ(section.maxChecked, b.maxChecked);
            EXPECT_EQ(section.maxText, b.maxText);
            EXPECT_EQ(section.shape, b.shape);
        }
        // Written again from what was read, the file is the same.
        std::ostringstream again;
        WriteParametersFile(again, reading);
        EXPECT_EQ(again.str(), Written(texts));
    }
}

TEST(ParametersFile, ADataFileIsNotAParametersFile) {
    const auto reading = Read("id,group,dv\r\n1,1,0.52\r\n");
    EXPECT_EQ(reading.outcome, ParametersFileReading::Outcome::NotSavedByZek);
    EXPECT_EQ(reading.ErrorMessage(), "The file you tried to open was apparently not saved by ZEK");
    EXPECT_EQ(Read("").outcome, ParametersFileReading::Outcome::NotSavedByZek);
    // Only the first seven characters are checked; this one then lacks its design line.
    EXPECT_EQ(Read("ZEK Gen and anything\r\n").outcome,
              ParametersFileReading::Outcome::DesignNotInteger);
}

TEST(ParametersFile, ADesignLineThatIsNoIntegerStopsAfterThePercentages) {
    const auto reading = Read(
        "ZEK Generation Parameters File\r\nx\r\nTitle\r\nx\r\n42\r\nx\r\n7\r\nx\r\n8\r\nx\r\n"
        "two\r\nx\r\nbox1.active\r\n");
    EXPECT_EQ(reading.outcome, ParametersFileReading::Outcome::DesignNotInteger);
    EXPECT_EQ(reading.title, "Title");
    EXPECT_EQ(reading.seed, "42");
    EXPECT_EQ(reading.missing, "7");
    EXPECT_EQ(reading.extreme, "8");
    EXPECT_EQ(reading.ErrorMessage(), "'two' is not a valid integer value");
    EXPECT_FALSE(reading.boxPresent[0]);
}

TEST(ParametersFile, ReadingPastTheEndGivesEmptyLinesAndUnknownShapesGiveNone) {
    const auto reading = Read(
        "ZEK Generation Parameters File\nx\nShort\nx\n1\nx\n0\nx\n0\nx\n1\nx\nbox1.active\n"
        "box2.active\nbox3.not\nbox4.not\nbox5.not\nbox6.not\nbox7.not\nbox8.not\n"
        "=BOX 1\n5\n1\n30\n2\nmin1.checked\n0\nmax1.not\n\nNOR1.CHECKED\n=BOX 2\n6");
    ASSERT_EQ(reading.outcome, ParametersFileReading::Outcome::Complete);
    EXPECT_EQ(reading.designCode, 1);
    EXPECT_FALSE(reading.boxes[0].shape.has_value());
    EXPECT_TRUE(reading.boxes[0].minChecked);
    EXPECT_EQ(reading.boxes[1].mean, "6");
    EXPECT_EQ(reading.boxes[1].sd, "");
    for (const std::string& r : reading.correlations) EXPECT_EQ(r, "");
}

TEST(ParametersFile, AByteOrderMarkInFrontIsSkipped) {
    const ParametersFileReading reading = Read("\xEF\xBB\xBF" + Written(ControlTexts{}));
    EXPECT_EQ(reading.outcome, ParametersFileReading::Outcome::Complete);
    EXPECT_EQ(reading.designCode, 2);
    EXPECT_EQ(Read("\xEF\xBB\xBFid,group,dv\r\n").outcome,
              ParametersFileReading::Outcome::NotSavedByZek);
}

TEST(ParametersFile, ReadingStopsAfterTheLastLineAndRefusesAHugeFile) {
    const std::string file = Written(ControlTexts{});
    // After the correlations one line is read to look for the names section; a line that is
    // not its heading ends the reading.
    const std::string notNames = "anything after the format\r\n";
    std::istringstream in(file + notNames + "more\r\n");
    EXPECT_EQ(ReadParametersFile(in).outcome, ParametersFileReading::Outcome::Complete);
    EXPECT_EQ(static_cast<std::size_t>(in.tellg()), file.size() + notNames.size());

    const std::string huge = file + std::string(kMaxParametersFileBytes, 'x');
    const ParametersFileReading refused = Read(huge);
    EXPECT_EQ(refused.outcome, ParametersFileReading::Outcome::TooLarge);
    EXPECT_EQ(refused.ErrorMessage(),
              "The file you tried to open is larger than 1 MB and was apparently not saved by "
              "ZEK");

    // A stream that cannot tell its size is refused once a line runs past any text the window
    // takes, long before the limit.
    class Unseekable : public std::stringbuf {
      public:
        using std::stringbuf::stringbuf;

      protected:
        pos_type seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode) override {
            return pos_type(-1);
        }
    };
    Unseekable buffer("ZEK Generation Parameters File\r\n" +
                      std::string(kMaxParametersFileBytes, 't'));
    std::istream unseekable(&buffer);
    const ParametersFileReading tooLong = ReadParametersFile(unseekable);
    EXPECT_EQ(tooLong.outcome, ParametersFileReading::Outcome::LineTooLong);
    EXPECT_EQ(tooLong.longLine, 2);
    EXPECT_TRUE(
        tooLong.ErrorMessage().starts_with("Line 2 of the file you tried to open is "
                                           "longer than 200 characters"));
}

// Names and labels after the correlations: written for the design's columns in file order,
// read back to the same record, and refused with their line where a key or a name is wrong.
TEST(ParametersFile, NamesAndLabelsRoundTripAndBadOnesAreRefusedWithTheirLine) {
    ControlTexts texts;  // two groups: id, group, dv
    texts.columnNames.names = {{"dv", "recall"}, {"group", "condition"}, {"var1", "kept"}};
    texts.columnNames.labels = {{"dv", "Words recalled out of 40"}};
    texts.columnNames.levelLabels = {{"group", {{1, "Placebo"}, {2, "Caffeine"}, {3, "none"}}}};
    const std::string file = Written(texts);
    const std::string plain = Written(ControlTexts{});
    EXPECT_EQ(file.substr(plain.size()),
              "===================Names\r\ngroup=condition\r\ngroup.1=Placebo\r\n"
              "group.2=Caffeine\r\ndv=recall\r\ndv.label=Words recalled out of 40\r\n")
        << "only the design's columns and levels";
    const ParametersFileReading reading = Read(file);
    ASSERT_EQ(reading.outcome, ParametersFileReading::Outcome::Complete);
    EXPECT_EQ(reading.columnNames.NameOf("dv"), "recall");
    EXPECT_EQ(reading.columnNames.LevelLabelOf("group", 2), "Caffeine");
    ControlTexts reopened;
    reopened.columnNames = reading.columnNames;
    EXPECT_EQ(Written(reopened), file);
    EXPECT_TRUE(Read(plain).columnNames.empty());
    const ParametersFileReading alike =
        Read(plain + "===================Names\r\ngroup.1=A B\r\ngroup.2=A_B\r\n");
    EXPECT_EQ(alike.outcome, ParametersFileReading::Outcome::NamesRefused);
    EXPECT_TRUE(alike.ErrorMessage().find("is given to two levels") != std::string::npos)
        << alike.ErrorMessage();

    const int firstEntry = static_cast<int>(std::count(plain.begin(), plain.end(), '\n')) + 2;
    for (const auto& [entry, message] :
         {std::pair<std::string, std::string>{"var1=x", "unknown key \"var1\" for this design"},
          {"group.3=Decaf", "unknown key \"group.3\" for this design"},
          {"dv.unit=words", "unknown key \"dv.unit\" for this design"},
          {"dv.reverse=yes", "unknown key \"dv.reverse\" for this design"},
          {"dv=2nd", "A NAME must begin with a letter"},
          {"dv=BY", "A NAME may not be a word that SPSS or Stata keep"},
          {"dv.label=caf\xC3", "A LABEL must be text (UTF-8)"},
          {"dv.label=a, b", "A LABEL may not hold a comma or a line break"},
          {"no equals sign", "\"no equals sign\" is no key=value"}}) {
        const ParametersFileReading refused =
            Read(plain + "===================Names\r\ndv=recall\r\n" + entry + "\r\n");
        EXPECT_EQ(refused.outcome, ParametersFileReading::Outcome::NamesRefused) << entry;
        EXPECT_TRUE(refused.ErrorMessage().starts_with("line " + std::to_string(firstEntry + 1) +
                                                       ": " + message))
            << refused.ErrorMessage();
    }
}

// A correlated variable can be an item worded against its scale: "var2.reverse=yes" after its
// name and label, kept while the scale option is off; "no" takes one back, another word is
// refused.
TEST(ParametersFile, ReverseKeyedItemsRoundTrip) {
    ControlTexts texts;
    texts.design = DesignKind::Correlated4;
    texts.columnNames.names = {{"var2", "bored"}};
    texts.columnNames.reversed = {"var2", "var4"};
    const std::string file = Written(texts);
    EXPECT_TRUE(
        file.ends_with("===================Names\r\nvar2=bored\r\nvar2.reverse=yes\r\n"
                       "var4.reverse=yes\r\n"));
    const ParametersFileReading reading = Read(file);
    ASSERT_EQ(reading.outcome, ParametersFileReading::Outcome::Complete);
    EXPECT_EQ(reading.columnNames, texts.columnNames);
    EXPECT_TRUE(Read(file + "var4.reverse=no\r\n").columnNames.Reversed("var2"));
    EXPECT_FALSE(Read(file + "var4.reverse=no\r\n").columnNames.Reversed("var4"));
    const ParametersFileReading refused = Read(file + "var3.reverse=true\r\n");
    EXPECT_EQ(refused.outcome, ParametersFileReading::Outcome::NamesRefused);
    EXPECT_TRUE(refused.ErrorMessage().ends_with("reverse takes yes or no, not \"true\""))
        << refused.ErrorMessage();
}

// Exact statistics go in an options section between the correlations and the names, only
// when they are on; an option a later version may add is passed over.
TEST(ParametersFile, ExactStatisticsRoundTripBeforeTheNames) {
    ControlTexts texts;
    texts.exactStatistics = true;
    texts.columnNames.names = {{"dv", "recall"}};
    const std::string file = Written(texts);
    const std::string plain = Written(ControlTexts{});
    EXPECT_EQ(file.substr(plain.size()),
              "===================Options\r\nexact\r\n===================Names\r\ndv=recall\r\n");
    const ParametersFileReading reading = Read(file);
    EXPECT_TRUE(reading.exactStatistics);
    EXPECT_EQ(reading.columnNames.NameOf("dv"), "recall");
    EXPECT_FALSE(Read(plain).exactStatistics);
    const ParametersFileReading later =
        Read(plain + "===================Options\r\nsomething new\r\nexact\r\n");
    EXPECT_EQ(later.outcome, ParametersFileReading::Outcome::Complete);
    EXPECT_TRUE(later.exactStatistics);
}

// Repeated measures share the section: alone, or after exact statistics.
TEST(ParametersFile, RepeatedMeasuresRoundTripInTheOptions) {
    ControlTexts texts;
    texts.repeatedMeasures = true;
    const std::string plain = Written(ControlTexts{});
    EXPECT_EQ(Written(texts).substr(plain.size()), "===================Options\r\nrepeated\r\n");
    const ParametersFileReading alone = Read(Written(texts));
    EXPECT_TRUE(alone.repeatedMeasures);
    EXPECT_FALSE(alone.exactStatistics);
    texts.exactStatistics = true;
    EXPECT_EQ(Written(texts).substr(plain.size()),
              "===================Options\r\nexact\r\nrepeated\r\n");
    const ParametersFileReading both = Read(Written(texts));
    EXPECT_TRUE(both.repeatedMeasures && both.exactStatistics);
    EXPECT_FALSE(Read(plain).repeatedMeasures);
    texts.longLayout = true;
    EXPECT_EQ(Written(texts).substr(plain.size()),
              "===================Options\r\nexact\r\nrepeated\r\nlong\r\n");
    EXPECT_TRUE(Read(Written(texts)).longLayout);
    EXPECT_FALSE(both.longLayout);
}

// Every text at the longest the window takes: what ZEK writes always opens again.
TEST(ParametersFile, TheLongestTextsTheWindowTakesReopen) {
    ControlTexts texts;
    const std::string longest(kMaxTextLength, '9');
    texts.title = longest;
    texts.seed = texts.missing = texts.extreme = longest;
    for (BoxTexts& box : texts.boxes) {
        box.mean = box.sd = box.n = box.decimals = box.minText = box.maxText = longest;
        box.minChecked = box.maxChecked = true;
    }
    texts.correlations.fill(longest);
    texts.design = DesignKind::Correlated8;
    const std::string file = Written(texts);
    EXPECT_LT(file.size(), kMaxParametersFileBytes);
    const ParametersFileReading reading = Read(file);
    ASSERT_EQ(reading.outcome, ParametersFileReading::Outcome::Complete);
    EXPECT_EQ(reading.title, longest);
    EXPECT_EQ(Read(Written(texts) + longest).outcome, ParametersFileReading::Outcome::Complete);
    texts.title += "x";
    EXPECT_EQ(Read(Written(texts)).outcome, ParametersFileReading::Outcome::LineTooLong);
}

// Files edited on old Macs end lines with CR alone, some Windows tools with CR CR LF; every
// one reads as the CR LF file it stands for, empty lines included.
TEST(ParametersFile, EveryKindOfLineEndReadsAlike) {
    ControlTexts texts;
    texts.title.clear();
    texts.seed = "1804";
    const std::string file = Written(texts);
    const ParametersFileReading expected = Read(file);
    ASSERT_EQ(expected.outcome, ParametersFileReading::Outcome::Complete);
    const auto replaced = [&](const std::string& end) {
        std::string text;
        for (std::size_t at = 0; at < file.size();) {
            const std::size_t next = file.find("\r\n", at);
            text += file.substr(at, next - at) + end;
            at = next + 2;
        }
        return text;
    };
    for (const std::string end : {"\n", "\r", "\r\r\n"}) {
        SCOPED_TRACE(::testing::PrintToString(end));
        const ParametersFileReading reading = Read(replaced(end));
        ASSERT_EQ(reading.outcome, ParametersFileReading::Outcome::Complete);
        EXPECT_EQ(reading.title, "");
        EXPECT_EQ(reading.seed, "1804");
        EXPECT_EQ(reading.designCode, expected.designCode);
        EXPECT_EQ(reading.boxes[1].n, expected.boxes[1].n);
        EXPECT_EQ(reading.correlations, expected.correlations);
        std::ostringstream again;
        WriteParametersFile(again, reading);
        EXPECT_EQ(again.str(), file);
    }
}

TEST(ParametersFile, DesignProblemsNameTheirLine) {
    ParametersFileReading reading = Read(Written(ControlTexts{}));
    EXPECT_FALSE(CheckDesignOf(reading).has_value());
    reading.designCode = 48;
    reading.designLine = "48";
    EXPECT_EQ(CheckDesignOf(reading)->message,
              "line 11: design code 48 names no design (codes 1 to 47)");
    reading.designCode = 24;  // Regression3 uses boxes 1 to 4
    EXPECT_EQ(CheckDesignOf(reading)->message, "line 15: box 3 is missing, but design 24 needs it");
    reading.designCode = 1;
    EXPECT_EQ(CheckDesignOf(reading)->message,
              "line 14: box 2 is given, but design 1 does not use it");
}

// A categorical design keeps its table in a section of its own after the options, which
// reads back as written; its names may label every category the table has.
TEST(ParametersFile, ACategoricalDesignsTableComesBackFromItsSection) {
    ControlTexts texts;
    texts.design = DesignKind::Categories1;
    texts.exactStatistics = true;
    texts.categories = EvenCategoryTexts(5, 1);
    texts.categories.percentages = {"10", "25.5", "30", "22.5", "12"};
    texts.categories.n = "150";
    texts.columnNames.levelLabels["var1"][5] = "train";
    const std::string file = Written(texts);
    const auto lines = SplitCrLf(file);
    const auto heading = std::find(lines.begin(), lines.end(), "===================Categories");
    ASSERT_NE(heading, lines.end());
    EXPECT_EQ(*(heading - 1), "exact") << "after the options";
    EXPECT_EQ(std::vector<std::string>(heading + 1, heading + 6),
              (std::vector<std::string>{"rows=5", "columns=1", "of=all", "n=150", "pct1=10"}));
    EXPECT_EQ(lines.back(), "var1.5=train") << "the names come last";

    const ParametersFileReading reading = Read(file);
    ASSERT_EQ(reading.outcome, ParametersFileReading::Outcome::Complete) << reading.namesRefusal;
    ASSERT_TRUE(reading.categories.has_value());
    EXPECT_EQ(reading.categories->percentages, texts.categories.percentages);
    EXPECT_EQ(reading.categories->n, "150");
    EXPECT_FALSE(CheckDesignOf(reading).has_value());
    EXPECT_EQ(PlaceInParametersFile(reading, "txt_pct2"), "line 58, categories pct2");
    std::ostringstream again;
    WriteParametersFile(again, reading);
    EXPECT_EQ(again.str(), file);

    // Percentages within columns keep each column's N.
    texts.design = DesignKind::Table2x3;
    texts.categories = EvenCategoryTexts(2, 3);
    texts.categories.percentagesOf = PercentagesOf::ColumnsCases;
    texts.categories.columnN = {"40", "30", "50"};
    texts.columnNames = {};
    const ParametersFileReading columns = Read(Written(texts));
    ASSERT_TRUE(columns.categories.has_value());
    EXPECT_EQ(columns.categories->percentagesOf, PercentagesOf::ColumnsCases);
    EXPECT_EQ(columns.categories->columnN, texts.categories.columnN);
}

TEST(ParametersFile, ACategoricalDesignNeedsItsTableOfItsSize) {
    ControlTexts texts;
    texts.design = DesignKind::Table2x2;
    texts.categories = EvenCategoryTexts(2, 2);
    ParametersFileReading reading = Read(Written(texts));
    EXPECT_FALSE(CheckDesignOf(reading).has_value());
    reading.designCode = FileCodeOf(DesignKind::Table3x4);
    EXPECT_EQ(CheckDesignOf(reading)->message,
              "line 11: design 43 needs a table of 3 rows and 4 columns");
    reading.categories.reset();
    EXPECT_EQ(CheckDesignOf(reading)->message,
              "line 11: design 43 needs a categories section after the correlations");

    // The other designs write no such section.
    texts.design = DesignKind::Groups3;
    EXPECT_FALSE(Read(Written(texts)).categories.has_value());
}

}  // namespace
}  // namespace zek
