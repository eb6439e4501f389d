#include "files/package_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "engine/generate_data.h"
#include "files/text_file.h"
#include "support/runnable_setup.h"

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
    ASSERT_FALSE(GenerateData(setup, streams, *tables));
    const std::string first = Bytes(setup);
    EXPECT_GT(first.size(), 100u);
    EXPECT_EQ(Bytes(setup), first);

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_THROW(WritePackageDataFile(GetParam(), broken, setup, tables->generatedData, {}),
                 StreamError);
}

INSTANTIATE_TEST_SUITE_P(Formats, PackageFileBytesTest,
                         ::testing::Values(DataFormat::Spss, DataFormat::Stata, DataFormat::Excel));

}  // namespace
}  // namespace zek
