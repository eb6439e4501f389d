#include "files/file_names.h"

#include <gtest/gtest.h>

namespace zek {
namespace {

TEST(FileNames, CompanionFilesDropOnlyTheDataFilesOwnExtension) {
    EXPECT_EQ(InformationFileNameFor("scores.csv"), "scores_info.TXT");
    EXPECT_EQ(InformationFileNameFor("ZEK_data.TXT"), "ZEK_data_info.TXT");
    EXPECT_EQ(ParametersFileNameFor("results.csv"), "results_setup.TXT");
    // The information file and the parameters file of a name with an inner dot must differ.
    EXPECT_EQ(InformationFileNameFor("my.data.csv"), "my.data_info.TXT");
    EXPECT_EQ(ParametersFileNameFor("my.data.csv"), "my.data_setup.TXT");
    EXPECT_EQ(InformationFileNameFor("/home/ann/class.v2/scores.csv"),
              "/home/ann/class.v2/scores_info.TXT");
    EXPECT_EQ(InformationFileNameFor("/home/ann/class.v2/scores"),
              "/home/ann/class.v2/scores_info.TXT");
}

TEST(FileNames, NumberedDatasetsArePaddedToTheWidthOfTheCount) {
    EXPECT_EQ(NumberedFileName("class.csv", 2, 3), "class_2.csv");
    EXPECT_EQ(NumberedFileName("class.csv", 2, 12), "class_02.csv");
    EXPECT_EQ(NumberedFileName("/srv/exam.v1/key.TXT", 7, 100), "/srv/exam.v1/key_007.TXT");
    EXPECT_EQ(NumberedFileName("plain", 1, 1), "plain_1");
}

TEST(FileNames, DefaultExtensionOnlyForNamesWithoutOne) {
    EXPECT_EQ(WithDefaultExtension("ZEK_data"), "ZEK_data.TXT");
    EXPECT_EQ(WithDefaultExtension("scores.csv"), "scores.csv");
    EXPECT_EQ(WithDefaultExtension("out.d/scores"), "out.d/scores.TXT");
}

}  // namespace
}  // namespace zek
