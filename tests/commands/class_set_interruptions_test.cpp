// A class set that replaces an earlier one, failing or killed at every call it makes of the
// file system: after the next save in the folder, every dataset is wholly of one set and the
// class key, where there is one, lists exactly the datasets on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "commands/class_set.h"
#include "files/answer_key_file.h"
#include "files/file_names.h"
#include "files/parameters_file.h"
#include "files/text_file.h"
#include "support/faulty_file_system.h"
#include "support/recording_host.h"
#include "support/set_on_disk.h"
#include "support/text_files.h"

namespace zek {
namespace {

namespace fs = std::filesystem;
using testing::ContentsOf;
using testing::FaultyFileSystem;
using testing::FolderContents;
using testing::TemporaryFolder;

constexpr int kDatasets = 3;
constexpr std::int32_t kEarlierSeed = 100;
constexpr std::int32_t kNewSeed = 500;

std::vector<std::vector<std::string>> DatasetNames() {
    std::vector<std::vector<std::string>> datasets;
    for (int index = 1; index <= kDatasets; ++index) {
        const std::string data = "c_" + std::to_string(index) + ".csv";
        datasets.push_back({data, InformationFileNameFor(data), ParametersFileNameFor(data),
                            KeyFileNameFor(data)});
    }
    return datasets;
}

class ClassSetInterruptions : public ::testing::Test {
  protected:
    // The files name their folder, so both sets are made where they will be compared.
    void SetUp() override {
        earlierSet = MakeSet(folder.path(), kEarlierSeed, platform::SystemFiles());
        fs::remove_all(folder.path());
        fs::create_directories(folder.path());
        newSet = MakeSet(folder.path(), kNewSeed, platform::SystemFiles());
    }

    FolderContents MakeSet(const fs::path& where, std::int32_t seed,
                           const platform::FileSystem& files) {
        ClassSetRequest request;
        request.count = kDatasets;
        request.firstSeed = seed;
        request.threads = 1;
        request.dataFile = (where / "c.csv").string();
        request.files = &files;
        const auto state = std::make_unique<ProgramState>();
        testing::RecordingHost host;
        MainWindowModel window(*state, host, '.');
        GenerateClassSet(window, *state, host, request, {});
        return ContentsOf(where);
    }

    void PutEarlierSet() { testing::PutContents(folder.path(), earlierSet); }

    // What the next run of ZEK does first in the folder, then what must hold.
    void ExpectOneSetPerDatasetAndATrueKey() {
        WriteTextFile((folder.path() / "notes.csv").string(),
                      [](std::ostream& out) { WriteChecked(out, "notes"); });
        fs::remove(folder.path() / "notes.csv");
        testing::ExpectDatasetsOfOneSetAndATrueKey(ContentsOf(folder.path()), earlierSet, newSet,
                                                   DatasetNames(), "c_key.csv");
    }

    int CallsOfAWholeSet() {
        PutEarlierSet();
        const FaultyFileSystem counting;
        EXPECT_EQ(MakeSet(folder.path(), kNewSeed, counting), newSet);
        return counting.calls();
    }

    TemporaryFolder folder;
    FolderContents earlierSet;
    FolderContents newSet;
};

TEST_F(ClassSetInterruptions, EveryFailingCallLeavesDatasetsOfOneSetAndATrueKey) {
    const int calls = CallsOfAWholeSet();
    ASSERT_GT(calls, 50);
    for (int call = 1; call <= calls; ++call) {
        SCOPED_TRACE("call " + std::to_string(call) + " fails");
        PutEarlierSet();
        const FaultyFileSystem faulty(call, FaultyFileSystem::Fault::Fail, EIO);
        try {
            MakeSet(folder.path(), kNewSeed, faulty);
        } catch (const FileError&) {
        }
        ExpectOneSetPerDatasetAndATrueKey();
    }
}

TEST_F(ClassSetInterruptions, AKillAtEveryCallLeavesDatasetsOfOneSetAndATrueKey) {
    const int calls = CallsOfAWholeSet();
    for (int call = 1; call <= calls; ++call) {
        SCOPED_TRACE("killed at call " + std::to_string(call));
        PutEarlierSet();
        ASSERT_TRUE(testing::KilledAtCall(call, [&](const FaultyFileSystem& killing) {
            MakeSet(folder.path(), kNewSeed, killing);
        }));
        ExpectOneSetPerDatasetAndATrueKey();
    }
}

}  // namespace
}  // namespace zek
