#include "files/data_file.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <locale>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "files/text_file.h"
#include "platform/processors.h"
#include "support/runnable_setup.h"
#include "support/text_files.h"

namespace zek {
namespace {

using testing::SplitCrLf;

class DataFileTest : public ::testing::Test {
  protected:
    std::unique_ptr<ScoreTable> table = testing::ZeroedScoreTable();

    std::vector<std::string> Write(const GenerationSetup& setup) {
        std::ostringstream out;
        WriteDataFile(out, setup, *table);
        return SplitCrLf(out.str());
    }
};

TEST_F(DataFileTest, HeaderOfEveryDesign) {
    const std::map<DesignKind, std::string> expected{
        {DesignKind::Groups1, "id,group,dv"},
        {DesignKind::Groups8, "id,group,dv"},
        {DesignKind::TwoGroupsDV1, "id,group,dv"},
        {DesignKind::TwoGroupsDV2, "id,group,dv1,dv2"},
        {DesignKind::TwoGroupsDV3, "id,group,dv1,dv2,dv3"},
        {DesignKind::TwoGroupsDV4, "id,group,dv1,dv2,dv3,dv4"},
        {DesignKind::TwoDVGroups1, "id,group,var1,var2"},
        {DesignKind::TwoDVGroups4, "id,group,var1,var2"},
        {DesignKind::TwoDV2x2, "id,factor1,factor2,dv1,dv2"},
        {DesignKind::Factorial2x2, "id,factor1,factor2,dv"},
        {DesignKind::Factorial2x4, "id,factor1,factor2,dv"},
        {DesignKind::Factorial2x2x2, "id,factor1,factor2,factor3,dv"},
        {DesignKind::Regression1, "id,y,x1"},
        {DesignKind::Regression7, "id,y,x1,x2,x3,x4,x5,x6,x7"},
        {DesignKind::Correlated2, "id,var1,var2"},
        {DesignKind::Correlated8, "id,var1,var2,var3,var4,var5,var6,var7,var8"},
    };
    for (const DesignInfo& design : DesignCatalogue()) {
        GenerationSetup setup;
        ApplyDesign(design, setup);
        const std::string header = DataFileHeader(setup);
        if (auto it = expected.find(design.kind); it != expected.end()) {
            EXPECT_EQ(header, it->second) << design.radioButton;
        }
        // One name per field of a case line.
        const int fields = 1 + static_cast<int>(std::count(header.begin(), header.end(), ','));
        const DesignCells cells = CellsOfDesign(design.Shape());
        EXPECT_EQ(fields, 1 + cells.cells[0].levelCount + design.variableCount)
            << design.radioButton;
        // The description every file reads: a grouping column per code of a case line, each
        // with the levels its codes run through, then the variables in order.
        const DataColumns columns = DataColumnsOf(setup);
        ASSERT_EQ(columns.groupingCount(), cells.cells[0].levelCount) << design.radioButton;
        const std::array<int, 3> levels{setup.levelsFactor1, setup.levelsFactor2,
                                        setup.levelsFactor3};
        for (int factor = 1; factor <= columns.groupingCount(); ++factor) {
            int highest = 0;
            for (const DesignCell& cell : cells.cells) {
                highest = std::max(highest, cell.levels[static_cast<std::size_t>(factor - 1)]);
            }
            EXPECT_EQ(columns.GroupingColumn(factor).levels, highest) << design.radioButton;
            EXPECT_EQ(columns.GroupingColumn(factor).levels,
                      levels[static_cast<std::size_t>(factor - 1)]);
        }
        for (int v = 1; v <= design.variableCount; ++v) {
            EXPECT_EQ(columns.ScoreColumn(v).variable, v) << design.radioButton;
            EXPECT_EQ(columns.ScoreColumn(v).role, ColumnRole::Score) << design.radioButton;
        }
    }
    GenerationSetup regression;
    ApplyDesign(Design(DesignKind::Regression3), regression);
    EXPECT_EQ(DataFileHeader(regression), "id,y,x1,x2,x3");
}

TEST_F(DataFileTest, MissingScoresAreEmptyFields) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Correlated3, 1, 4);
    const double rows[4][3] = {
        {1, 2, 3}, {4, 5, 6}, {0.52, MissingMark, -1.07}, {1, 1, MissingMark}};
    for (int r = 0; r < 4; ++r) {
        for (int v = 0; v < 3; ++v) table->At(r, v) = rows[r][v];
    }
    const auto lines = Write(setup);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "id,var1,var2,var3");
    EXPECT_EQ(lines[1], "1,1.00,2.00,3.00");
    EXPECT_EQ(lines[3], "3,0.52,,-1.07");
    EXPECT_EQ(lines[4], "4,1.00,1.00,");
}

TEST_F(DataFileTest, IdRunsAcrossGroupsAndAMissingLastScoreEndsWithAComma) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 1, 5);
    setup.Box(2).decimals = 0;
    for (int row = 0; row < 10; ++row) table->At(row, 0) = 11.6 + row;
    table->At(6, 0) = MissingMark;
    const auto lines = Write(setup);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[1], "1,1,11.60");
    EXPECT_EQ(lines[5], "5,1,15.60");
    EXPECT_EQ(lines[6], "6,2,17");
    EXPECT_EQ(lines[7], "7,2,");
    EXPECT_EQ(lines[10], "10,2,21");
}

TEST_F(DataFileTest, ThreeFactorRowsNameTheirCells) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Factorial2x2x2, 1, 10);
    const auto lines = Write(setup);
    ASSERT_EQ(lines.size(), 81u);
    const char* cells[] = {"1,1,1", "1,1,2", "1,2,1", "1,2,2", "2,1,1", "2,1,2", "2,2,1", "2,2,2"};
    for (int c = 0; c < 8; ++c) {
        for (int k = 1; k <= 10; ++k) {
            const int id = 10 * c + k;
            EXPECT_EQ(lines[id].rfind(std::to_string(id) + "," + cells[c] + ",", 0), 0u)
                << lines[id];
        }
    }
}

TEST_F(DataFileTest, TwoVariableCellsTakeTheDecimalsOfTheirOwnBoxes) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::TwoDV2x2, 1, 2);
    for (BoxParameters& box : setup.boxes) box.decimals = 0;
    setup.Box(1).decimals = 3;
    setup.Box(3).decimals = 1;
    for (int row = 0; row < 8; ++row) {
        table->At(row, 0) = 1.23456;
        table->At(row, 1) = 7.891;
    }
    const auto lines = Write(setup);
    EXPECT_EQ(lines[1], "1,1,1,1.235,7.9");
    EXPECT_EQ(lines[2], "2,1,1,1.235,7.9");
    EXPECT_EQ(lines[3], "3,1,2,1,8");
    EXPECT_EQ(lines[5], "5,2,1,1,8");
    EXPECT_EQ(lines[8], "8,2,2,1,8");
}

// Scores beyond the quick fixed-point path sit in a row between scores on it: a correlated
// design writes plain fixed at any size, a two-variable group design at most 15 significant
// digits, in scientific notation beyond them.
TEST_F(DataFileTest, LargeScoresBetweenOrdinaryOnesKeepTheirFormats) {
    GenerationSetup correlated = testing::RunnableSetup(DesignKind::Correlated3, 1, 2);
    const double plain[3] = {-0.004, 123456789012345.0, 2.5};
    for (int v = 0; v < 3; ++v) table->At(0, v) = plain[v];
    table->At(1, 0) = MissingMark;
    table->At(1, 1) = 1e12;
    table->At(1, 2) = -999999999999.996;
    auto lines = Write(correlated);
    EXPECT_EQ(lines[1], "1,0.00,123456789012345.00,2.50");
    EXPECT_EQ(lines[2], "2,,1000000000000.00,-1000000000000.00");

    GenerationSetup grouped = testing::RunnableSetup(DesignKind::TwoDV2x2, 1, 2);
    table->At(0, 0) = 123456789.125;
    table->At(0, 1) = 1.5e16;
    table->At(1, 0) = 99999999.994;
    table->At(1, 1) = -7.0;
    lines = Write(grouped);
    EXPECT_EQ(lines[1], "1,1,1,123456789.13,1.50000000000000E+16");
    EXPECT_EQ(lines[2], "2,1,1,99999999.99,-7.00");
}

void ExpectSameBits(const WrittenScores& handedOn, const WrittenScores& expected) {
    ASSERT_EQ(handedOn.size(), expected.size());
    for (std::size_t block = 0; block < expected.size(); ++block) {
        ASSERT_EQ(handedOn[block].size(), expected[block].size());
        for (std::size_t v = 0; v < expected[block].size(); ++v) {
            ASSERT_EQ(handedOn[block][v].size(), expected[block][v].size());
            for (std::size_t k = 0; k < expected[block][v].size(); ++k) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(handedOn[block][v][k]),
                          std::bit_cast<std::uint64_t>(expected[block][v][k]))
                    << block << ", " << v << ", " << k;
            }
        }
    }
}

// Every way a score is written: the quick path, the general one, 15 significant digits,
// scientific notation, missing, and digits beyond what a double's integer holds.
constexpr std::array<double, 10> kScoresOfEveryFormat = {
    49.8349, -0.004, 123456789.125,    1.5e16, MissingMark,
    -7.0,    2.5,    999999999999.996, 0.125,  -1234.5678};

void FillWithEveryFormat(const GenerationSetup& setup, ScoreTable& table) {
    for (int row = 0; row < setup.totalCases; ++row) {
        for (int v = 0; v < setup.variableCount; ++v) {
            table.At(row, v) = kScoresOfEveryFormat[static_cast<std::size_t>(row * 3 + v) % 10];
        }
    }
}

// The scores the writer hands on for the answer key are the ones it wrote, whichever way it
// wrote them.
TEST_F(DataFileTest, TheScoresHandedOnAreThoseReadBackFromTheText) {
    for (const DesignKind kind : {DesignKind::Correlated3, DesignKind::TwoDV2x2}) {
        GenerationSetup setup = testing::RunnableSetup(kind, 1, 5);
        setup.Box(1).decimals = 6;
        FillWithEveryFormat(setup, *table);
        std::ostringstream out;
        WrittenScores handedOn;
        WriteDataFile(out, setup, *table, [&](WrittenScores&& scores) { handedOn = scores; });
        ExpectSameBits(handedOn, ScoresAsWritten(setup, *table));
    }
}

// The long layout: a line per case and occasion after the case's codes, the scores and the
// key's scores the same as in the wide file, and the viewer reads the cases back whole. Only
// under repeated measures and for a design with occasions.
TEST_F(DataFileTest, TheLongLayoutHasALinePerCaseAndOccasion) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::TwoDVGroups2, 1, 2);
    const double scores[4][2] = {{1.25, 2.5}, {3, MissingMark}, {5.5, 6}, {7, 8.75}};
    for (int row = 0; row < 4; ++row) {
        for (int v = 0; v < 2; ++v) table->At(row, v) = scores[row][v];
    }
    setup.longLayout = true;
    const std::vector<std::string> wide = Write(setup);
    setup.repeatedMeasures = true;
    std::ostringstream out;
    WrittenScores handedOn;
    WriteDataFile(out, setup, *table, [&](WrittenScores&& written) { handedOn = written; });
    EXPECT_EQ(SplitCrLf(out.str()),
              (std::vector<std::string>{"id,group,occasion,score", "1,1,1,1.25", "1,1,2,2.50",
                                        "2,1,1,3.00", "2,1,2,", "3,2,1,5.50", "3,2,2,6.00",
                                        "4,2,1,7.00", "4,2,2,8.75"}));
    EXPECT_EQ(wide.front(), "id,group,var1,var2");
    ExpectSameBits(handedOn, ScoresAsWritten(setup, *table));

    testing::TemporaryFolder folder;
    const std::string longFile = (folder.path() / "long.csv").string();
    testing::Put(longFile, out.str());
    const std::vector<std::vector<double>> cases = ReadDataFileScores(longFile, 2, true);
    ASSERT_EQ(cases.size(), 4u);
    EXPECT_EQ(cases[2], (std::vector<double>{5.5, 6}));
    EXPECT_TRUE(std::isnan(cases[1][1]));

    GenerationSetup groups = testing::RunnableSetup(DesignKind::Groups2, 1, 2);
    groups.longLayout = groups.repeatedMeasures = true;
    EXPECT_EQ(Write(groups).front(), "id,group,dv") << "a design without occasions stays wide";
}

// A large file put together on two threads is the file of one, byte for byte, and hands on
// the same scores, wherever its halves meet: inside a group, where one group ends, among
// cells of two variables and among cells of three factors.
TEST_F(DataFileTest, TwoThreadsWriteTheBytesAndScoresOfOne) {
    // Held to one processor, the writer takes no second thread, and the comparison below
    // would compare one thread's file with itself.
    if (!platform::OtherProcessorsAllowed()) GTEST_SKIP() << "only one processor allowed";
    struct Sizes {
        DesignKind kind;
        std::vector<int> n;  // of boxes 1, 2, ...
    };
    const Sizes runs[] = {{DesignKind::Groups3, {7001, 13000, 9999}},
                          {DesignKind::Groups2, {12000, 12000}},
                          {DesignKind::TwoDV2x2, std::vector<int>(8, 5003)},
                          {DesignKind::Factorial2x2x2, std::vector<int>(8, 2600)}};
    for (const Sizes& run : runs) {
        GenerationSetup setup = testing::RunnableSetup(run.kind, 1);
        for (std::size_t box = 0; box < run.n.size(); ++box) {
            setup.Box(static_cast<int>(box) + 1).n = run.n[box];
        }
        setup.totalCases = LayoutOf(setup).totalRows;
        setup.Box(2).decimals = 4;
        ASSERT_TRUE(WorthASecondThread(setup));
        FillWithEveryFormat(setup, *table);
        std::ostringstream oneThread;
        WrittenScores oneThreadsScores;
        WriteDataFile(
            oneThread, setup, *table, [&](WrittenScores&& scores) { oneThreadsScores = scores; },
            RunThreads::One);
        std::ostringstream twoThreads;
        WrittenScores twoThreadsScores;
        WriteDataFile(
            twoThreads, setup, *table, [&](WrittenScores&& scores) { twoThreadsScores = scores; },
            RunThreads::TwoWhenLarge);
        EXPECT_TRUE(twoThreads.str() == oneThread.str()) << static_cast<int>(run.kind);
        ExpectSameBits(twoThreadsScores, oneThreadsScores);
    }
}

// A locale whose decimal separator is "," (as German, French or Dutch ones), set for the
// whole program while it lives; every stream made meanwhile takes it.
class CommaLocale {
  public:
    CommaLocale()
        : previous_(std::locale::global(std::locale(std::locale::classic(), new Comma))) {}
    ~CommaLocale() { std::locale::global(previous_); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

  private:
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    std::locale previous_;
};

TEST_F(DataFileTest, ScoresUseAPointWhateverTheLocale) {
    // Lines with two scores per group once took the user's decimal separator, which turned
    // 3.1 and 2.5 into "3,1,2,5" in a "," locale and made the file unreadable.
    const CommaLocale comma;
    std::ostringstream probe;
    probe << 3.5;
    ASSERT_EQ(probe.str(), "3,5") << "the locale of this test must be in force";
    GenerationSetup setup = testing::RunnableSetup(DesignKind::TwoDVGroups2, 1, 2);
    for (int row = 0; row < 4; ++row) {
        table->At(row, 0) = 3.1;
        table->At(row, 1) = -0.001;
    }
    const auto lines = Write(setup);
    EXPECT_EQ(lines[1], "1,1,3.10,0.00");
    EXPECT_EQ(lines[4], "4,2,3.10,0.00");
}

TEST_F(DataFileTest, AWriteIntoAFullDeviceRaisesTheSystemsMessage) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Correlated8, 1, 25000);
    try {
        WriteTextFile("/dev/full", [&](std::ostream& out) { WriteDataFile(out, setup, *table); });
        FAIL() << "a write into /dev/full succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), "/dev/full");
        EXPECT_NE(std::string(error.what()).find("No space left on device"), std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace zek
