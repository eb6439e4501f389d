#include "files/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "support/text_files.h"

namespace zek {
namespace {

namespace fs = std::filesystem;

using testing::Contents;
using testing::NamesIn;
using testing::TemporaryFolder;

using testing::Put;
using testing::Writing;

// The files of a set take their targets' places one after another. When one of them cannot,
// every target already replaced gets its earlier file back, and no file of ours is left.
// (The third file's writing puts a folder where the second one's target was, after that
// file was staged and before any takes its place.)
TEST(TextFileTest, ASetThatCannotTakeItsPlacesPutsBackEveryEarlierFile) {
    const TemporaryFolder folder;
    const fs::path data = folder.path() / "run.csv";
    const fs::path report = folder.path() / "run_info.TXT";
    const fs::path parameters = folder.path() / "run_setup.TXT";
    Put(data, "last week's data");
    Put(report, "last week's report");
    Put(parameters, "last week's setup");
    const std::vector<PendingFile> files{Writing(data, "new data"),
                                         Writing(report, "new report"),
                                         {parameters.string(), [&](std::ostream& out) {
                                              fs::remove(report);
                                              fs::create_directories(report / "in the way");
                                              WriteChecked(out, "new setup");
                                          }}};
    EXPECT_THROW(WriteTextFilesTogether(files), FileError);
    EXPECT_EQ(Contents(data), "last week's data");
    EXPECT_EQ(Contents(parameters), "last week's setup");
    EXPECT_EQ(NamesIn(folder.path()),
              (std::vector<std::string>{"run.csv", "run_info.TXT", "run_setup.TXT"}));
}

// Every file of a set is written, and held open, before any is synced. A file whose writing
// fails leaves every target as it was and none of the files written before it behind.
TEST(TextFileTest, AFileThatCannotBeWrittenLeavesEveryTargetAndNoTemporary) {
    const TemporaryFolder folder;
    const fs::path data = folder.path() / "run.csv";
    const fs::path report = folder.path() / "run_info.TXT";
    const fs::path key = folder.path() / "run_key.TXT";
    Put(data, "last week's data");
    const std::vector<PendingFile> files{Writing(data, "new data"),
                                         Writing(report, "new report"),
                                         {key.string(), [](std::ostream& out) {
                                              WriteChecked(out, "half a key");
                                              throw StreamError("the key could not be computed");
                                          }}};
    try {
        WriteTextFilesTogether(files);
        ADD_FAILURE() << "the set was written";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), key.string());
        EXPECT_NE(std::string(error.what()).find("the key could not be computed"),
                  std::string::npos);
    }
    EXPECT_EQ(Contents(data), "last week's data");
    EXPECT_EQ(NamesIn(folder.path()), std::vector<std::string>{"run.csv"});
}

// Replacing keeps nothing of ours beside the targets, and new targets appear beside
// replaced ones.
TEST(TextFileTest, ASetReplacesAndAddsFilesAndLeavesNothingElse) {
    const TemporaryFolder folder;
    const fs::path data = folder.path() / "run.csv";
    const fs::path key = folder.path() / "run_key.TXT";
    Put(data, "last week's data");
    WriteTextFilesTogether({Writing(data, "new data"), Writing(key, "new key")});
    EXPECT_EQ(Contents(data), "new data");
    EXPECT_EQ(Contents(key), "new key");
    EXPECT_EQ(NamesIn(folder.path()), (std::vector<std::string>{"run.csv", "run_key.TXT"}));
}

}  // namespace
}  // namespace zek
