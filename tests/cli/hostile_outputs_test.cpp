// zek-generate against what a shared computer does to files: links planted by another user,
// a second save of the same name at the same moment, names at the file system's limit,
// read-only files and folders, folders and devices named as data files, pipes named as
// parameters files. Each runs the real program; the cases with a second user run as root.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

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

constexpr const char* kNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups";

bool Exists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

class HostileOutputsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A second user reaches the test's folder only if every folder above it lets them.
        fs::permissions(folder, fs::perms::all);
        WriteTextFile((folder / "setup.TXT").string(), [&](std::ostream& out) {
            WriteParametersFile(out, ParametersFileContentsOf(ControlTexts{}));
        });
    }
    /// As the user running the tests, or as nobody.
    ProcessResult Generate(const std::string& arguments, bool asNobody = false) {
        if (!asNobody) return testing::RunInFolder(folder, ZEK_GENERATE_PATH, arguments);
        return testing::RunInFolder(folder, "setpriv",
                                    "--reuid=65534 --regid=65534 --clear-groups '" +
                                        std::string(ZEK_GENERATE_PATH) + "' " + arguments);
    }
    static bool CanActAsAnotherUser() {
        return ::geteuid() == 0 && std::system("setpriv --version > /dev/null 2>&1") == 0;
    }
    static void Run(const std::string& command) {
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    testing::TemporaryFolder temporary;
    const fs::path& folder = temporary.path();
};

// In a sticky folder open to all, another user's link must not send a save over one's own
// file, whether the link points at a file or at nothing yet.
TEST_F(HostileOutputsTest, ALinkPlantedByAnotherUserDoesNotRedirectASave) {
    if (!CanActAsAnotherUser()) GTEST_SKIP() << "needs root and setpriv";
    const fs::path shared = folder / "shared";
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    std::ofstream(folder / "notes.txt") << "my notes\n";
    Run(std::string(kNobody) + " ln -s '" + (folder / "notes.txt").string() + "' '" +
        (shared / "results.csv").string() + "'");
    Run(std::string(kNobody) + " ln -s '" + (folder / "later.txt").string() + "' '" +
        (shared / "dangling.csv").string() + "'");

    for (const char* name : {"results.csv", "dangling.csv"}) {
        SCOPED_TRACE(name);
        const ProcessResult result = Generate(std::string("setup.TXT -o shared/") + name);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("a link that another user placed in a shared folder"),
                  std::string::npos)
            << result.err;
        EXPECT_TRUE(fs::is_symlink(shared / name)) << "the link stays a link";
    }
    EXPECT_EQ(Contents(folder / "notes.txt"), "my notes\n");
    EXPECT_FALSE(fs::exists(folder / "later.txt"));

    // A link of one's own is one's own business, and followed.
    fs::create_symlink(folder / "mine.csv", shared / "own.csv");
    ASSERT_EQ(Generate("setup.TXT -o shared/own.csv").exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(shared / "own.csv"));
    EXPECT_EQ(Contents(folder / "mine.csv").rfind("id,group,dv\r\n", 0), 0u);
}

// Two saves of one name at the same moment: each set of files is whole, from one run, and a
// run that could not replace it says so.
TEST_F(HostileOutputsTest, TwoSavesOfTheSameNameNeverLeaveAMixedSet) {
    // Large enough that the two runs are writing at the same time.
    ControlTexts large;
    large.Box(1).n = "25000";
    large.Box(2).n = "25000";
    WriteTextFile((folder / "setup.TXT").string(), [&](std::ostream& out) {
        WriteParametersFile(out, ParametersFileContentsOf(large));
    });
    ASSERT_EQ(Generate("setup.TXT --seed 100 -o a.csv").exitCode, 0);
    ASSERT_EQ(Generate("setup.TXT --seed 101 -o b.csv").exitCode, 0);
    const std::map<std::string, std::string> dataOfSeed{{"100", Contents(folder / "a.csv")},
                                                        {"101", Contents(folder / "b.csv")}};
    const std::regex infoSeed("Generator Seed: (\\d+)");
    const std::regex keySeed("\r\nSeed: (\\d+)");
    int refusals = 0;
    for (int race = 0; race < 12; ++race) {
        const auto run = [&](const char* seed, const char* log) {
            return "(cd '" + folder.string() + "' && '" + ZEK_GENERATE_PATH +
                   "' setup.TXT --seed " + seed + " -o same.csv > " + log +
                   ".log 2>&1; echo $? > " + log + ".code)";
        };
        const std::string command = run("100", "one") + " & " + run("101", "two") + " & wait";
        ASSERT_EQ(std::system(command.c_str()), 0);
        for (const char* log : {"one", "two"}) {
            const std::string code = Contents(folder / (std::string(log) + ".code"));
            if (code == "0\n") continue;
            ++refusals;
            EXPECT_EQ(code, "1\n");
            EXPECT_NE(Contents(folder / (std::string(log) + ".log"))
                          .find("is being written by another program"),
                      std::string::npos);
        }
        std::smatch info, key;
        const std::string infoText = Contents(folder / "same_info.TXT");
        const std::string keyText = Contents(folder / "same_key.TXT");
        ASSERT_TRUE(std::regex_search(infoText, info, infoSeed));
        ASSERT_TRUE(std::regex_search(keyText, key, keySeed));
        const std::string seed = info[1];
        EXPECT_EQ(key[1], seed);
        EXPECT_EQ(testing::SplitCrLf(Contents(folder / "same_setup.TXT"))[4], seed);
        EXPECT_EQ(Contents(folder / "same.csv"), dataOfSeed.at(seed)) << "race " << race;
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".zek-"))
            << entry.path() << " was left behind";
    }
    RecordProperty("refusals", refusals);
}

// The temporary names are short, and every name of the set is checked first: a data file
// whose companions would not fit is refused before anything is written.
TEST_F(HostileOutputsTest, NamesAtTheFileSystemsLimit) {
    const std::string fits(240, 'n');
    ASSERT_EQ(Generate("setup.TXT -o " + fits + ".csv").exitCode, 0);
    EXPECT_TRUE(fs::exists(folder / (fits + "_setup.TXT")));

    const std::string tooLong(247, 'm');  // its "_setup.TXT" is 257 bytes
    const ProcessResult result = Generate("setup.TXT -o " + tooLong + ".csv");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("File name too long"), std::string::npos);
    EXPECT_FALSE(Exists(folder / (tooLong + ".csv")));
    EXPECT_FALSE(Exists(folder / (tooLong + "_info.TXT")));
}

TEST_F(HostileOutputsTest, AReadOnlyFileIsRefusedByName) {
    std::ofstream(folder / "kept.csv") << "last week\n";
    fs::permissions(folder / "kept.csv",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const ProcessResult result = Generate("setup.TXT -o kept.csv");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find((folder / "kept.csv").string() + "\": the file is read-only"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(Contents(folder / "kept.csv"), "last week\n");
    EXPECT_FALSE(fs::exists(folder / "kept_info.TXT"));
}

// A user's own files in a folder they may not add to are written where they stand; a file of
// another user keeps its owner when root saves over it.
TEST_F(HostileOutputsTest, OwnFilesInAClosedFolderAreWrittenInPlaceAndKeepTheirOwner) {
    if (!CanActAsAnotherUser()) GTEST_SKIP() << "needs root and setpriv";
    const fs::path closed = folder / "closed";
    fs::create_directory(closed);
    for (const char* name : {"d.csv", "d_info.TXT", "d_setup.TXT", "d_key.TXT"}) {
        std::ofstream(closed / name) << "old\n";
    }
    Run("chown -R 65534:65534 '" + closed.string() + "' && chmod 555 '" + closed.string() + "'");
    const ProcessResult result = Generate("setup.TXT -o closed/d.csv", true);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Contents(closed / "d.csv").rfind("id,group,dv\r\n", 0), 0u);

    Run("chmod 755 '" + closed.string() + "'");
    ASSERT_EQ(Generate("setup.TXT --seed 9 -o closed/d.csv").exitCode, 0);
    struct stat status {};
    ASSERT_EQ(::stat((closed / "d_info.TXT").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u) << "root's save kept the file's owner";
}

TEST_F(HostileOutputsTest, FoldersTheInputAndDevicesNamedAsTheDataFile) {
    fs::create_directory(folder / "out");
    ProcessResult result = Generate("setup.TXT -o out/");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("-o names a folder"), std::string::npos);
    EXPECT_EQ(Generate("setup.TXT -o out").exitCode, 2);
    EXPECT_TRUE(fs::is_empty(folder / "out"));

    const std::string before = Contents(folder / "setup.TXT");
    result = Generate("setup.TXT -o setup.TXT");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("over the parameters file being read"), std::string::npos);
    result = Generate("setup.TXT -o setup.csv");  // whose parameters file is setup_setup.TXT
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(Contents(folder / "setup.TXT"), before);

    // A device takes the data file alone; a full one fails by name.
    result = Generate("setup.TXT -o /dev/null");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_FALSE(fs::exists("/dev/null_info.TXT"));
    EXPECT_FALSE(fs::exists("/dev/null.TXT"));
    if (fs::exists("/dev/full")) {
        result = Generate("setup.TXT -o /dev/full");
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("/dev/full"), std::string::npos);
        EXPECT_FALSE(fs::exists("/dev/full.TXT"));
    }
}

TEST_F(HostileOutputsTest, APipeNamedAsTheParametersFileIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo((folder / "pipe.TXT").c_str(), 0600), 0);
    const ProcessResult result = Generate("pipe.TXT -o x.csv");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("it is not a regular file"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace zek
