#include "platform/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace zek::platform {
namespace {

namespace fs = std::filesystem;

class PathsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("zek_paths_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string In(const std::string& name) const { return (folder_ / name).string(); }

    fs::path folder_;
};

TEST_F(PathsTest, ALinkThatLeadsNowhereStillTakesItsName) {
    // A class set must not write through a dangling link as if the name were free.
    fs::create_symlink(In("gone.csv"), In("set_1.csv"));
    EXPECT_TRUE(NameTaken(In("set_1.csv")));
    EXPECT_FALSE(NameTaken(In("set_2.csv")));
    EXPECT_FALSE(IsFolder(In("set_1.csv")));
}

TEST_F(PathsTest, TwoNamesOfOneFileAreTheSameFileAndMissingFilesAreNot) {
    std::ofstream(In("setup.TXT")) << "ZEK Generation Parameters File\n";
    fs::create_symlink(In("setup.TXT"), In("data.csv"));
    EXPECT_TRUE(SameFile(In("data.csv"), In("setup.TXT")));
    EXPECT_TRUE(SameFile(In("./setup.TXT"), In("setup.TXT")));
    EXPECT_FALSE(SameFile(In("other.csv"), In("setup.TXT")));
    EXPECT_FALSE(SameFile(In("other.csv"), In("missing.csv")));
}

TEST_F(PathsTest, CreatingFoldersSaysWhyItCannot) {
    EXPECT_EQ(CreateFolders(In("a/b/c")), "");
    EXPECT_TRUE(IsFolder(In("a/b/c")));
    EXPECT_EQ(CreateFolders(In("a/b/c")), "") << "a folder that exists is no failure";
    std::ofstream(In("plain")) << "x";
    EXPECT_NE(CreateFolders(In("plain/sub")), "") << "a file stands where a folder must go";
}

TEST_F(PathsTest, AbsolutePathsResolveDotsInTheirText) {
    const std::string absolute = AbsolutePath(In("a/../b/./c.csv"));
    EXPECT_EQ(absolute, In("b/c.csv"));
    EXPECT_TRUE(fs::path(AbsolutePath("c.csv")).is_absolute());
    EXPECT_FALSE(TemporaryFolder().empty());
}

}  // namespace
}  // namespace zek::platform
