#include "commands/save_command.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "commands/open_command.h"
#include "commands/run_command.h"
#include "files/parameters_file.h"
#include "files/text_file.h"
#include "support/last_of.h"
#include "support/recording_host.h"
#include "support/text_files.h"

namespace zek {
namespace {

namespace fs = std::filesystem;

constexpr const char* kViewHint =
    "You can VIEW and PRINT the saved Data and Information by choosing VIEW... under the FILE "
    "menu (or press F2)";

using testing::Contents;

class SaveCommandTest : public ::testing::Test {
  protected:
    void Generate() {
        ASSERT_EQ(RunCommand(controls, EnabledCellsOf(Design(controls.design)), '.', *state, host),
                  RunOutcome::Generated);
    }

    testing::TemporaryFolder temporary;
    const fs::path& folder = temporary.path();
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    ControlTexts controls;
    testing::RecordingHost host;
};

TEST_F(SaveCommandTest, SavingBeforeARunIsRefused) {
    SaveDataFiles(*state, host);
    EXPECT_EQ(host.messages, std::vector<std::string>{"You must generate data first"});
    EXPECT_TRUE(host.saveOffers.empty());
}

// Names do not change the data: a rename after Generate reaches the next Save, unless two
// of the run's columns would then share a name.
TEST_F(SaveCommandTest, ARenameAfterTheRunReachesTheNextSave) {
    Generate();
    ColumnNames names;
    names.names = {{"dv", "recall"}, {"group", "condition"}};
    ASSERT_FALSE(AdoptNamesForSave(names, *state));
    host.saveAnswers = {(folder / "renamed.csv").string()};
    SaveDataFiles(*state, host);
    EXPECT_EQ(Contents(folder / "renamed.csv").rfind("id,condition,recall\r\n", 0), 0u);

    ColumnNames clash;
    clash.names = {{"dv", "ID"}};
    EXPECT_TRUE(AdoptNamesForSave(clash, *state));
    EXPECT_EQ(state->generated.setup.columnNames, names);
}

TEST_F(SaveCommandTest, AfterARunTheThreeFilesStandSideBySide) {
    Generate();
    const fs::path data = folder / "results.csv";
    host.saveAnswers = {data.string()};
    AfterRunSave(controls, *state, host);
    EXPECT_EQ(host.saveOffers, std::vector<std::string>{"ZEK_data"});
    EXPECT_TRUE(state->flags.filesSaved);
    EXPECT_EQ(host.messages, std::vector<std::string>{kViewHint});
    const std::string dataText = Contents(data);
    EXPECT_EQ(dataText.rfind("id,group,dv\r\n1,1,", 0), 0u);
    EXPECT_EQ(std::count(dataText.begin(), dataText.end(), '\n'), 51);
    const std::string info = Contents(folder / "results_info.TXT");
    EXPECT_NE(info.find("\r\n  " + data.string() + "\r\n"), std::string::npos);
    const std::string setup = Contents(folder / "results_setup.TXT");
    EXPECT_EQ(std::count(setup.begin(), setup.end(), '\n'), 69);
    EXPECT_EQ(state->setup.dataFileName, data.string());

    // The next save offers the last data file and rewrites the same report but for its path.
    host.saveAnswers = {(folder / "again.csv").string()};
    SaveDataFiles(*state, host);
    EXPECT_EQ(testing::LastOf(host.saveOffers), data.string());
    std::string againInfo = Contents(folder / "again_info.TXT");
    const std::string oldPath = data.string();
    const std::string newPath = (folder / "again.csv").string();
    againInfo.replace(againInfo.find(newPath), newPath.size(), oldPath);
    EXPECT_EQ(againInfo, info);
}

// A parameters file with names opened in the window and saved again is the same file, and
// the run writes the names into the data file's header; two columns under one name are
// refused before anything is drawn.
TEST_F(SaveCommandTest, NamesOpenedInTheWindowAreSavedAndWrittenAsTheyCame) {
    const fs::path story = folder / "story.TXT";
    std::string file;
    {
        ControlTexts named;
        named.columnNames.names = {{"dv", "recall"}, {"group", "condition"}};
        named.columnNames.labels = {{"group", "Experimental condition"}};
        named.columnNames.levelLabels = {{"group", {{1, "Placebo"}, {2, "Caffeine"}}}};
        WriteTextFile(story.string(), [&](std::ostream& out) {
            WriteParametersFile(out, ParametersFileContentsOf(named));
        });
        file = Contents(story);
    }
    MainWindowModel window(*state, host, '.');
    OpenParametersFile(story.string(), window, *state, host);
    EXPECT_TRUE(host.messages.empty()) << testing::LastOf(host.messages);
    controls = window.Texts();
    Generate();
    host.saveAnswers = {(folder / "recall.csv").string()};
    AfterRunSave(controls, *state, host);
    EXPECT_EQ(Contents(folder / "recall_setup.TXT"), file);
    EXPECT_TRUE(Contents(folder / "recall.csv").starts_with("id,condition,recall\r\n1,1,"));

    controls.columnNames.names["dv"] = "Condition";
    EXPECT_EQ(RunCommand(controls, EnabledCellsOf(Design(controls.design)), '.', *state, host),
              RunOutcome::Stopped);
    EXPECT_EQ(testing::LastOf(host.messages),
              "The NAME \"Condition\" is given to two columns of the data file");
}

TEST_F(SaveCommandTest, ACancelledSaveAsksForTheParametersFileAndGivesNoHint) {
    Generate();
    host.saveAnswers = {std::nullopt, (folder / "only_setup.TXT").string()};
    AfterRunSave(controls, *state, host);
    EXPECT_EQ(host.saveOffers.size(), 2u);
    EXPECT_FALSE(state->flags.filesSaved);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(fs::exists(folder / "only_setup.TXT"));
    EXPECT_EQ(state->setup.parametersFileName, (folder / "only_setup.TXT").string());
}

TEST_F(SaveCommandTest, AWriteErrorEndsTheSequenceAndTheDataCanBeSavedAgain) {
    Generate();
    // A folder that is not there cannot be written into, not even by root.
    const fs::path data = folder / "gone" / "results.csv";
    host.saveAnswers = {data.string()};
    try {
        AfterRunSave(controls, *state, host);
        FAIL() << "writing into a missing folder succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), data.string());
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + data.string() + "\": No such file or directory");
    }
    EXPECT_TRUE(state->flags.dataGenerated);
    EXPECT_FALSE(state->flags.filesSaved);
    EXPECT_EQ(host.saveOffers.size(), 1u) << "the parameters file is not written";
}

TEST_F(SaveCommandTest, AFullDeviceLeavesFilesSavedFalse) {
    Generate();
    host.saveAnswers = {(folder / "first.csv").string(), "/dev/full"};
    SaveDataFiles(*state, host);
    ASSERT_TRUE(state->flags.filesSaved);
    try {
        SaveDataFiles(*state, host);
        FAIL() << "writing into /dev/full succeeded";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("/dev/full"), std::string::npos);
    }
    EXPECT_FALSE(state->flags.filesSaved);
    EXPECT_TRUE(state->flags.dataGenerated);
}

// Writes beyond `bytes` fail with "File too large", as on a disk that is full.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(SaveCommandTest, AFullDiskKeepsLastWeeksFilesWholeAndPaired) {
    controls.Box(1).n = "5000";
    Generate();
    const fs::path data = folder / "scores.csv";
    host.saveAnswers = {data.string(), data.string()};
    SaveDataFiles(*state, host);
    const std::string earlierData = Contents(data);
    const std::string earlierInfo = Contents(folder / "scores_info.TXT");

    controls.seed = "7";
    Generate();
    try {
        const FileSizeLimit full(4096);
        SaveDataFiles(*state, host);
        FAIL() << "a save beyond the disk's room succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), data.string());
        EXPECT_EQ(std::string(error.what()),
                  "Cannot write file \"" + data.string() + "\": File too large");
    }
    EXPECT_EQ(Contents(data), earlierData);
    EXPECT_EQ(Contents(folder / "scores_info.TXT"), earlierInfo);
    EXPECT_EQ(testing::NamesIn(folder), (std::vector<std::string>{"scores.csv", "scores_info.TXT"}))
        << "no temporary file stays behind";
    EXPECT_FALSE(state->flags.filesSaved);
    EXPECT_TRUE(state->flags.dataGenerated);
}

TEST_F(SaveCommandTest, AnInformationFileThatCannotBeReplacedKeepsTheEarlierDataFile) {
    Generate();
    const fs::path data = folder / "scores.csv";
    host.saveAnswers = {data.string(), data.string(), data.string()};
    SaveDataFiles(*state, host);
    const std::string earlierData = Contents(data);
    fs::remove(folder / "scores_info.TXT");
    fs::create_directory(folder / "scores_info.TXT");
    fs::create_directory(folder / "scores_info.TXT" / "inside");

    controls.seed = "7";
    Generate();
    try {
        SaveDataFiles(*state, host);
        FAIL() << "a report over a folder succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), (folder / "scores_info.TXT").string());
        EXPECT_NE(std::string(error.what()).find("Is a directory"), std::string::npos);
    }
    EXPECT_EQ(Contents(data), earlierData) << "the data file must not leave its answer key";
    EXPECT_EQ(testing::NamesIn(folder),
              (std::vector<std::string>{"scores.csv", "scores_info.TXT"}));
    EXPECT_FALSE(state->flags.filesSaved);

    // Once the way is clear the same data save as usual and replace the earlier file.
    fs::remove_all(folder / "scores_info.TXT");
    SaveDataFiles(*state, host);
    EXPECT_NE(Contents(data), earlierData);
    EXPECT_TRUE(state->flags.filesSaved);
}

TEST_F(SaveCommandTest, AReplacedFileKeepsItsPermissions) {
    Generate();
    const fs::path data = folder / "scores.csv";
    host.saveAnswers = {data.string(), data.string()};
    SaveDataFiles(*state, host);
    fs::permissions(data, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    SaveDataFiles(*state, host);
    EXPECT_EQ(fs::status(data).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SaveCommandTest, TheReportDescribesTheRunNotTheWindowsLaterChanges) {
    controls.Box(1).shape = DistributionKind::RandomlyChosen;
    Generate();
    // After the run the user picks another design and other options before saving.
    ApplyDesign(Design(DesignKind::Correlated5), state->setup);
    state->setup.reliability = 0.5;
    state->setup.betaHigh = 10;
    state->setup.missingPercent = 40;
    host.saveAnswers = {(folder / "late.csv").string()};
    SaveDataFiles(*state, host);
    const std::string info = Contents(folder / "late_info.TXT");
    EXPECT_NE(info.find("Number of Variables: 1\r\n"), std::string::npos);
    EXPECT_NE(info.find("Reliability for Continuous Variables: 1.000\r\n"), std::string::npos);
    EXPECT_NE(info.find("Percentage Missing Data: 0%\r\n"), std::string::npos);
    EXPECT_NE(info.find("Variable1     2  "), std::string::npos);
    EXPECT_EQ(Contents(folder / "late.csv").rfind("id,group,dv\r\n", 0), 0u);
}

}  // namespace
}  // namespace zek
