#include "files/package_files.h"

#include <gtest/gtest.h>

#include <readstat.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "engine/generate_data.h"
#include "files/text_file.h"
#include "setup/column_names.h"
#include "support/runnable_setup.h"
#include "support/text_files.h"

namespace zek {
namespace {

TEST(PackageFilesTest, TheExtensionChoosesTheFormat) {
    EXPECT_EQ(DataFormatOf("class/lab.sav"), DataFormat::Spss);
    EXPECT_EQ(DataFormatOf("LAB.SAV"), DataFormat::Spss);
    EXPECT_EQ(DataFormatOf("lab.dta"), DataFormat::Stata);
    EXPECT_EQ(DataFormatOf("lab.Xlsx"), DataFormat::Excel);
    for (const char* text : {"lab.csv", "lab.TXT", "lab", "my.sav/lab", "lab.xls", "lab.sav.txt"}) {
        EXPECT_EQ(DataFormatOf(text), DataFormat::Text) << text;
    }
}

class PackageFileBytesTest : public ::testing::TestWithParam<DataFormat> {
  protected:
    std::string Bytes(const GenerationSetup& setup) {
        std::ostringstream out;
        WritePackageDataFile(GetParam(), out, setup, tables->generatedData, {"a report line"});
        return out.str();
    }
    std::unique_ptr<GenerationTables> tables = std::make_unique<GenerationTables>();
};

// The same data give the same bytes: no clock goes into a file.
TEST_P(PackageFileBytesTest, TheSameDataGiveTheSameBytesAndAFailedStreamIsAnError) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::TwoDV2x2, 7, 30);
    RandomStreams streams;
    RunRecord record;
    ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
    const std::string first = Bytes(setup);
    EXPECT_GT(first.size(), 100u);
    EXPECT_EQ(Bytes(setup), first);

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_THROW(WritePackageDataFile(GetParam(), broken, setup, tables->generatedData, {}),
                 StreamError);
}

// Whatever names and labels the dialog and the reader accept, every format takes: labels of
// 120 characters, accented or not, brackets and quotes, names next to reserved words.
TEST_P(PackageFileBytesTest, EveryAcceptedNameAndLabelIsWritten) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::Groups2, 7, 12);
    std::string accented;
    for (int k = 0; k < 120; ++k) accented += "\xC3\xA9";
    setup.columnNames.names = {{"group", "If_1"}, {"dv", "str_score"}};
    setup.columnNames.labels = {{"dv", accented}, {"group", std::string(120, 'x')}};
    setup.columnNames.levelLabels = {
        {"group", {{1, "Rehearsal (spaced) \"quoted\""}, {2, "caf\xC3\xA9 \xF0\x9F\x98\x80"}}}};
    for (const auto& [column, label] : setup.columnNames.labels) {
        ASSERT_FALSE(CheckColumnLabel(label));
    }
    ASSERT_FALSE(CheckLevelLabels(setup.columnNames.levelLabels["group"]));
    RandomStreams streams;
    RunRecord record;
    ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
    EXPECT_NO_THROW(Bytes(setup));
}

// What SPSS shows in its variable view, read back by ReadStat's own parser: nominal
// grouping columns without decimals, scale scores with their boxes' decimals.
TEST(PackageFilesTest, AnSpssFileDeclaresMeasuresAndFormats) {
    GenerationSetup setup = testing::RunnableSetup(DesignKind::TwoDVGroups2, 3, 12);
    setup.Box(1).decimals = 1;
    setup.Box(2).decimals = 3;  // the same variable in group 2: the column shows 3
    setup.Box(5).decimals = 0;
    setup.Box(6).decimals = 0;
    auto tables = std::make_unique<GenerationTables>();
    RandomStreams streams;
    RunRecord record;
    ASSERT_FALSE(GenerateData(setup, streams, *tables, record));
    testing::TemporaryFolder folder;
    const std::string path = (folder.path() / "measures.sav").string();
    {
        std::ofstream out(path, std::ios::binary);
        WritePackageDataFile(DataFormat::Spss, out, setup, tables->generatedData, {});
    }
    struct Declared {
        std::string name, format;
        readstat_measure_t measure;
    };
    std::vector<Declared> declared;
    readstat_parser_t* parser = readstat_parser_init();
    readstat_set_variable_handler(
        parser, [](int, readstat_variable_t* variable, const char*, void* context) {
            static_cast<std::vector<Declared>*>(context)->push_back(
                {readstat_variable_get_name(variable), readstat_variable_get_format(variable),
                 readstat_variable_get_measure(variable)});
            return static_cast<int>(READSTAT_HANDLER_OK);
        });
    ASSERT_EQ(readstat_parse_sav(parser, path.c_str(), &declared), READSTAT_OK);
    ASSERT_EQ(declared.size(), 4u);
    const Declared expected[] = {{"id", "F9.0", READSTAT_MEASURE_NOMINAL},
                                 {"group", "F9.0", READSTAT_MEASURE_NOMINAL},
                                 {"var1", "F12.3", READSTAT_MEASURE_SCALE},
                                 {"var2", "F9.0", READSTAT_MEASURE_SCALE}};
    for (std::size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(declared[c].name, expected[c].name);
        EXPECT_EQ(declared[c].format, expected[c].format) << expected[c].name;
        EXPECT_EQ(declared[c].measure, expected[c].measure) << expected[c].name;
    }

    // The codes of categories are nominal whole numbers, whatever the boxes say.
    GenerationSetup counts;
    ApplyDesign(Design(DesignKind::Table2x3), counts);
    counts.categories.percentages = {10, 20, 30, 15, 15, 10};
    counts.categories.n = 40;
    counts.missingFraction = 0.0;
    counts.seed = 5;
    ASSERT_FALSE(GenerateData(counts, streams, *tables, record));
    {
        std::ofstream out(path, std::ios::binary);
        WritePackageDataFile(DataFormat::Spss, out, counts, tables->generatedData, {});
    }
    declared.clear();
    ASSERT_EQ(readstat_parse_sav(parser, path.c_str(), &declared), READSTAT_OK);
    readstat_parser_free(parser);
    ASSERT_EQ(declared.size(), 3u);
    for (std::size_t c = 1; c < 3; ++c) {
        EXPECT_EQ(declared[c].format, "F9.0") << declared[c].name;
        EXPECT_EQ(declared[c].measure, READSTAT_MEASURE_NOMINAL) << declared[c].name;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PackageFileBytesTest,
                         ::testing::Values(DataFormat::Spss, DataFormat::Stata, DataFormat::Excel));

}  // namespace
}  // namespace zek
