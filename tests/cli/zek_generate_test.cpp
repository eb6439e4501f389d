// zek-generate as a whole process, as a teacher runs it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "commands/control_texts.h"
#include "files/parameters_file.h"
#include "files/text_file.h"
#include "support/process.h"
#include "support/text_files.h"

namespace zek {
namespace {

namespace fs = std::filesystem;

using testing::Contents;
using testing::ProcessResult;

long CountLines(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}

class ZekGenerateTest : public ::testing::Test {
  protected:
    void WriteSetup(const ControlTexts& texts, const std::string& name = "setup.TXT") {
        WriteTextFile((folder / name).string(), [&](std::ostream& out) {
            WriteParametersFile(out, ParametersFileContentsOf(texts));
        });
    }

    ProcessResult Generate(const std::string& arguments) {
        return testing::RunInFolder(folder, ZEK_GENERATE_PATH, arguments);
    }

    std::vector<std::string> FilesInFolder() const { return testing::NamesIn(folder); }

    testing::TemporaryFolder temporary;
    const fs::path& folder = temporary.path();
};

TEST_F(ZekGenerateTest, TheStartupSetupGivesTheSameThreeFilesOnEveryRun) {
    WriteSetup(ControlTexts{});
    const ProcessResult first = Generate("setup.TXT");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "seed 1804: " + (folder / "ZEK_data.TXT").string() + "\n");
    EXPECT_EQ(FilesInFolder(),
              (std::vector<std::string>{"ZEK_data.TXT", "ZEK_data_info.TXT", "ZEK_data_key.TXT",
                                        "ZEK_data_setup.TXT", "setup.TXT"}));
    const std::string data = Contents(folder / "ZEK_data.TXT");
    const std::string info = Contents(folder / "ZEK_data_info.TXT");
    const std::string setup = Contents(folder / "ZEK_data_setup.TXT");
    EXPECT_EQ(data.rfind("id,group,dv\r\n1,1,", 0), 0u);
    EXPECT_EQ(CountLines(data), 51);
    EXPECT_EQ(CountLines(setup), 69);
    EXPECT_EQ(setup, Contents(folder / "setup.TXT"));
    EXPECT_NE(info.find("\r\nQarn (Version 18.9.8)\r\n"), std::string::npos);
    EXPECT_NE(info.find("Generator Seed: 1804\r\n"), std::string::npos);

    ASSERT_EQ(Generate("setup.TXT").exitCode, 0);
    EXPECT_EQ(Contents(folder / "ZEK_data.TXT"), data);
    EXPECT_EQ(Contents(folder / "ZEK_data_info.TXT"), info);
    EXPECT_EQ(Contents(folder / "ZEK_data_setup.TXT"), setup);

    // The seed on the command line gives what the same seed in the file gives.
    ASSERT_EQ(Generate("setup.TXT --seed 1804 -o again.csv").exitCode, 0);
    EXPECT_EQ(Contents(folder / "again.csv"), data);
}

// --long without repeated measures writes the usual file and says why.
TEST_F(ZekGenerateTest, LongWithoutRepeatedMeasuresSaysTheFileStaysWide) {
    WriteSetup(ControlTexts{});
    const ProcessResult wide = Generate("setup.TXT --long -o wide.csv");
    ASSERT_EQ(wide.exitCode, 0) << wide.err;
    EXPECT_NE(wide.err.find("the data file keeps a row per case"), std::string::npos) << wide.err;
    EXPECT_EQ(Contents(folder / "wide.csv").rfind("id,group,dv\r\n", 0), 0u);
}

TEST_F(ZekGenerateTest, CountWritesOneDatasetAndAnswerKeyPerStudent) {
    ControlTexts texts;
    texts.design = DesignKind::Correlated3;
    texts.correlations[CorrelationCellIndex(1, 2)] = "0.5";
    texts.missing = "5";
    WriteSetup(texts);
    const ProcessResult result = Generate("setup.TXT -o class.csv --count 3 --seed 40");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "seed 40: " + (folder / "class_1.csv").string() +
                              "\nseed 41: " + (folder / "class_2.csv").string() +
                              "\nseed 42: " + (folder / "class_3.csv").string() + "\n");
    std::set<std::string> datasets;
    for (int k = 1; k <= 3; ++k) {
        const std::string stem = "class_" + std::to_string(k);
        const std::string data = Contents(folder / (stem + ".csv"));
        EXPECT_EQ(data.rfind("id,var1,var2,var3\r\n", 0), 0u);
        datasets.insert(data);
        const std::string info = Contents(folder / (stem + "_info.TXT"));
        EXPECT_NE(info.find("Generator Seed: " + std::to_string(39 + k) + "\r\n"),
                  std::string::npos);
        const std::string setup = Contents(folder / (stem + "_setup.TXT"));
        EXPECT_NE(setup.find("===================Seed\r\n" + std::to_string(39 + k) + "\r\n"),
                  std::string::npos);
    }
    EXPECT_EQ(datasets.size(), 3u);

    ASSERT_EQ(Generate("setup.TXT -o big.TXT --count 10 --seed 1").exitCode, 0);
    EXPECT_TRUE(fs::exists(folder / "big_01.TXT"));
    EXPECT_TRUE(fs::exists(folder / "big_10_info.TXT"));
}

TEST_F(ZekGenerateTest, ARefusedFileOrEntryExitsWithTwoAndWritesNothing) {
    WriteTextFile((folder / "data.csv").string(),
                  [](std::ostream& out) { WriteChecked(out, "id,group,dv\r\n1,1,2.5\r\n"); });
    ProcessResult result = Generate("data.csv");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("The file you tried to open was apparently not saved by ZEK"),
              std::string::npos);

    ControlTexts texts;
    texts.Box(2).n = "25001";
    WriteSetup(texts);
    result = Generate("setup.TXT");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "zek-generate: line 34, box 2 N: Maximum Data per cell is 25000\n");

    texts.Box(2).n = "25";
    texts.missing = "150";
    WriteSetup(texts);
    result = Generate("setup.TXT");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("Percentage of MISSING VALUES"), std::string::npos);

    result = Generate("missing.TXT");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("missing.TXT"), std::string::npos);

    result = Generate("setup.TXT --reliability 0");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err,
              "zek-generate: Reliability must be greater than 0.0 and less than or equal to 1.0\n");
    EXPECT_EQ(FilesInFolder(), (std::vector<std::string>{"data.csv", "setup.TXT"}));
}

// The window keeps its design where a file names none; headless, a regression file with a
// wrong code once came out as two-group data.
TEST_F(ZekGenerateTest, ADesignCodeOrBoxListThatDoesNotFitIsRefused) {
    ControlTexts texts;
    texts.design = DesignKind::Regression3;
    WriteSetup(texts);
    std::string file = Contents(folder / "setup.TXT");
    const std::size_t code = file.find("===================Design\r\n24\r\n");
    ASSERT_NE(code, std::string::npos);
    std::string wrongCode = file;
    wrongCode.replace(code + 27, 2, "50");
    WriteTextFile((folder / "setup.TXT").string(),
                  [&](std::ostream& out) { WriteChecked(out, wrongCode); });
    ProcessResult result = Generate("setup.TXT");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err,
              "zek-generate: setup.TXT, line 11: design code 50 names no design "
              "(codes 1 to 47)\n");

    std::string wrongBoxes = file;
    wrongBoxes.replace(code + 27, 2, "23");  // Regression2 has no box 4
    WriteTextFile((folder / "setup.TXT").string(),
                  [&](std::ostream& out) { WriteChecked(out, wrongBoxes); });
    result = Generate("setup.TXT");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err,
              "zek-generate: setup.TXT, line 16: box 4 is given, but design 23 does not use it\n");
    EXPECT_EQ(FilesInFolder(), (std::vector<std::string>{"setup.TXT"}));
}

TEST_F(ZekGenerateTest, RefusalsNameTheLineAndControlTheyComeFrom) {
    ControlTexts texts;
    texts.Box(1).mean = "ten";
    WriteSetup(texts);
    EXPECT_EQ(Generate("setup.TXT").err,
              "zek-generate: line 22, box 1 Mean: You must enter an appropriate numeric value\n");
    texts.Box(1).mean = "10";
    texts.Box(2).n = "2.5";
    WriteSetup(texts);
    // The N that did not read keeps its previous value, which the range check then refuses.
    EXPECT_EQ(Generate("setup.TXT").err,
              "zek-generate: line 34, box 2 N: You must enter an appropriate numeric value\n"
              "zek-generate: line 34, box 2 N: Minimum Data per cell is 2\n");

    texts.Box(2).n = "25";
    texts.design = DesignKind::Correlated3;
    texts.correlations[CorrelationCellIndex(2, 3)] = "x";
    WriteSetup(texts);
    EXPECT_EQ(Generate("setup.TXT").err,
              "zek-generate: line 54, r23: You must enter an appropriate numeric value\n");

    texts.correlations[CorrelationCellIndex(1, 2)] = "0.9";
    texts.correlations[CorrelationCellIndex(1, 3)] = "0.9";
    texts.correlations[CorrelationCellIndex(2, 3)] = "-0.9";
    WriteSetup(texts);
    const ProcessResult impossible = Generate("setup.TXT");
    EXPECT_EQ(impossible.exitCode, 2);
    EXPECT_TRUE(impossible.err.starts_with(
        "zek-generate: Sorry, your matrix is not a positive definite symmetric matrix and "
        "therefore will not work as a correlation matrix\n  r12 = 0.90: with the others kept, "))
        << impossible.err;

    // Shapes that cannot reach a correlation: the pair and its reach, and no file written.
    texts.correlations[CorrelationCellIndex(2, 3)] = "0.0";
    texts.correlations[CorrelationCellIndex(1, 3)] = "0.0";
    texts.correlations[CorrelationCellIndex(1, 2)] = "-0.99";
    texts.Box(1).shape = DistributionKind::SkewPos;
    texts.Box(2).shape = DistributionKind::SkewPos;
    WriteSetup(texts);
    const ProcessResult unreachable = Generate("setup.TXT -o shaped.csv");
    EXPECT_EQ(unreachable.exitCode, 2);
    EXPECT_EQ(unreachable.err,
              "zek-generate: Sorry, the shapes you chose cannot have every correlation you asked "
              "for\n  r12 = -0.99: positively skewed scores (box 1) and positively skewed scores "
              "(box 2) can only be correlated between -0.9292 and 0.9999\n");
    EXPECT_FALSE(fs::exists(folder / "shaped.csv"));

    // The asked value as typed, and the bounds to four decimals rounded inwards: 0.981 lies
    // beyond 0.98073, which two decimals would have shown as 0.98.
    texts.correlations[CorrelationCellIndex(1, 2)] = "0.981";
    texts.Box(1).shape = DistributionKind::Normal;
    WriteSetup(texts);
    EXPECT_NE(Generate("setup.TXT -o shaped.csv")
                  .err.find("r12 = 0.981: Normal scores (box 1) and positively skewed scores "
                            "(box 2) can only be correlated between -0.9807 and 0.9807\n"),
              std::string::npos);
}

// --exact says so under the report's title, and names each later step that moved the
// figures again; the same seed still gives the same bytes.
TEST_F(ZekGenerateTest, ExactStatisticsAreStatedWithWhatMovedThem) {
    ControlTexts texts;
    texts.missing = "5";
    texts.extreme = "0";
    WriteSetup(texts);
    ASSERT_EQ(Generate("setup.TXT --exact --reliability 0.8 -o moved.csv").exitCode, 0);
    const std::string moved = Contents(folder / "moved_info.TXT");
    EXPECT_NE(
        moved.find("TITLE:  \r\n***************************************************************"
                   "\r\n\r\nEXACT SAMPLE STATISTICS were asked for"),
        std::string::npos)
        << moved;
    EXPECT_NE(
        moved.find("\r\n  - measurement error (reliability below 1)\r\n  - missing values\r\n"),
        std::string::npos)
        << moved;
    EXPECT_EQ(moved.find("extreme values"), std::string::npos);

    texts.missing = "0";
    WriteSetup(texts);
    ASSERT_EQ(Generate("setup.TXT --exact -o exact.csv").exitCode, 0);
    const std::string exact = Contents(folder / "exact.csv");
    EXPECT_NE(Contents(folder / "exact_info.TXT").find("are the requested ones at each box's"),
              std::string::npos);
    ASSERT_EQ(Generate("setup.TXT --exact -o again.csv").exitCode, 0);
    EXPECT_EQ(Contents(folder / "again.csv"), exact);
    ASSERT_EQ(Generate("setup.TXT -o plain.csv").exitCode, 0);
    EXPECT_EQ(Contents(folder / "plain_info.TXT").find("EXACT"), std::string::npos);
    EXPECT_NE(Contents(folder / "plain.csv"), exact);

    // The exact run's parameters file says so, and gives exact data again without --exact;
    // the plain run's file is as it ever was.
    EXPECT_NE(
        Contents(folder / "exact_setup.TXT").find("\r\n===================Options\r\nexact\r\n"),
        std::string::npos);
    EXPECT_EQ(Contents(folder / "plain_setup.TXT").find("Options"), std::string::npos);
    ASSERT_EQ(Generate("exact_setup.TXT -o reopened.csv").exitCode, 0);
    EXPECT_EQ(Contents(folder / "reopened.csv"), exact);
}

// A large run on two cores (the uniforms and the last deviates drawn ahead, the data file
// formatted in halves, the report and the key computed side by side) writes the four files
// of the same run held to one core, byte for byte but for the folder they name: for
// correlated columns with missing and extreme scores, and for groups of one variable.
TEST_F(ZekGenerateTest, ALargeRunOnTwoCoresWritesTheFilesOfOneCore) {
    ControlTexts correlated;
    correlated.design = DesignKind::Correlated8;
    correlated.missing = "5";
    correlated.extreme = "3";
    for (BoxTexts& box : correlated.boxes) box.n = "3000";
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j)
            correlated.correlations[CorrelationCellIndex(i, j)] = "0.3";
    }
    ControlTexts groups;
    groups.design = DesignKind::Groups8;
    groups.missing = "2";
    for (BoxTexts& box : groups.boxes) box.n = "3000";
    for (const ControlTexts& texts : {correlated, groups}) {
        for (const char* cores : {"one", "two"}) {
            fs::create_directories(folder / cores);
            WriteTextFile((folder / cores / "setup.TXT").string(), [&](std::ostream& out) {
                WriteParametersFile(out, ParametersFileContentsOf(texts));
            });
        }
        const ProcessResult two =
            testing::RunInFolder(folder / "two", ZEK_GENERATE_PATH, "setup.TXT -o large.csv");
        ASSERT_EQ(two.exitCode, 0) << two.err;
        const ProcessResult one = testing::RunInFolder(
            folder / "one", "taskset",
            std::string("-c 0 '") + ZEK_GENERATE_PATH + "' setup.TXT -o large.csv");
        ASSERT_EQ(one.exitCode, 0) << one.err;
        for (const char* file :
             {"large.csv", "large_info.TXT", "large_setup.TXT", "large_key.TXT"}) {
            std::string oneCore = Contents(folder / "one" / file);
            for (std::size_t at = oneCore.find("/one/"); at != std::string::npos;
                 at = oneCore.find("/one/", at)) {
                oneCore.replace(at, 5, "/two/");
            }
            EXPECT_TRUE(Contents(folder / "two" / file) == oneCore) << file;
        }
    }
}

// ReadStat and libxlsxwriter (and OpenSSL, which libxlsxwriter brings) cost a run that
// writes text nothing: they are loaded when a package file is written.
TEST_F(ZekGenerateTest, PackageLibrariesAreLoadedOnlyForPackageFiles) {
    WriteSetup(ControlTexts{});
    const ProcessResult text =
        testing::RunInFolder(folder, ZEK_GENERATE_PATH, "setup.TXT -o text.csv", "LD_DEBUG=libs");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const ProcessResult spss =
        testing::RunInFolder(folder, ZEK_GENERATE_PATH, "setup.TXT -o spss.sav", "LD_DEBUG=libs");
    if (spss.err.find("text files only") != std::string::npos) {
        GTEST_SKIP() << "this build writes text files only";
    }
    ASSERT_EQ(spss.exitCode, 0) << spss.err;
    if (spss.err.find("libreadstat") == std::string::npos) {
        GTEST_SKIP() << "this system's loader does not say what it loads";
    }
    EXPECT_EQ(text.err.find("libreadstat"), std::string::npos);
    EXPECT_EQ(text.err.find("libxlsxwriter"), std::string::npos);
    EXPECT_EQ(text.err.find("libcrypto"), std::string::npos);
}

TEST_F(ZekGenerateTest, ListsTheDesignCodesAndPrintsItsVersion) {
    const ProcessResult designs = Generate("--list-designs");
    EXPECT_EQ(designs.exitCode, 0);
    EXPECT_EQ(CountLines(designs.out), 48);
    EXPECT_NE(designs.out.find("  17  2 Variables in a 2x2 Design 2x2"), std::string::npos);
    EXPECT_NE(designs.out.find("  37  Mixed Design, 2 Groups on 4 Occasions"), std::string::npos);
    EXPECT_NE(designs.out.find("id,factor1,factor2,factor3,dv\n"), std::string::npos);
    const ProcessResult version = Generate("--version");
    EXPECT_EQ(version.out.rfind("zek-generate ", 0), 0u);
}

TEST_F(ZekGenerateTest, AnUnwritableFolderExitsWithOneNamingTheFile) {
    WriteSetup(ControlTexts{});
    const ProcessResult result = Generate("setup.TXT -o nowhere/scores.csv");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find((folder / "nowhere" / "scores.csv").string()), std::string::npos);
    EXPECT_NE(result.err.find("No such file or directory"), std::string::npos);
}

TEST_F(ZekGenerateTest, ADatasetThatCannotBeSavedLeavesNoHalfPairBehind) {
    WriteSetup(ControlTexts{});
    fs::create_directories(folder / "class_2_info.TXT" / "inside");
    const ProcessResult result = Generate("setup.TXT -o class.csv --count 3 --seed 5 --threads 1");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find((folder / "class_2_info.TXT").string()), std::string::npos);
    // The class key lists the one dataset that was written.
    EXPECT_EQ(FilesInFolder(),
              (std::vector<std::string>{"class_1.csv", "class_1_info.TXT", "class_1_key.TXT",
                                        "class_1_setup.TXT", "class_2_info.TXT", "class_key.csv",
                                        "setup.TXT"}));
    EXPECT_EQ(testing::SplitCrLf(Contents(folder / "class_key.csv")).size(), 2u);
}

TEST_F(ZekGenerateTest, OptionsChangeTheRunAndHelpExplainsThem) {
    ControlTexts texts;
    texts.Box(1).shape = DistributionKind::SkewPos;
    texts.Box(2).shape = DistributionKind::SkewNeg;
    WriteSetup(texts);
    ASSERT_EQ(Generate("setup.TXT -o plain.csv").exitCode, 0);
    ASSERT_EQ(Generate("setup.TXT -o options.csv --reliability 0.5 --beta 2 10").exitCode, 0);
    EXPECT_NE(Contents(folder / "plain.csv"), Contents(folder / "options.csv"));
    EXPECT_NE(
        Contents(folder / "options_info.TXT").find("Reliability for Continuous Variables: 0.500"),
        std::string::npos);

    const ProcessResult help = Generate("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"-o DATAFILE", "--count K", "--seed N", "--reliability R", "--beta LOW HIGH"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace zek
