// zek-generate stopped while it replaces a class set, as a teacher's Ctrl+C or a machine's
// kill would stop it, at moments drawn from a fixed seed, as the user running the tests and
// as a second user; and several runs of one set at once. After the next run in the folder,
// every dataset is wholly of one set, the class key lists exactly the datasets on disk, and
// no file of ZEK's own is left.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "commands/control_texts.h"
#include "files/parameters_file.h"
#include "files/text_file.h"
#include "support/process.h"
#include "support/set_on_disk.h"
#include "support/text_files.h"

namespace zek {
namespace {

namespace fs = std::filesystem;
using testing::ContentsOf;
using testing::FolderContents;

constexpr int kDatasets = 12;
constexpr uid_t kNobody = 65534;

class InterruptedRunsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::permissions(folder, fs::perms::all);
        ControlTexts texts;
        texts.Box(1).n = "2000";
        texts.Box(2).n = "2000";
        WriteTextFile(setup.string(), [&](std::ostream& out) {
            WriteParametersFile(out, ParametersFileContentsOf(texts));
        });
        earlierSet = MakeSet("100");
        newSet = MakeSet("5000");
        for (int index = 1; index <= kDatasets; ++index) {
            const std::string stem =
                std::string("c_") + (index < 10 ? "0" : "") + std::to_string(index);
            datasets.push_back(
                {stem + ".csv", stem + "_info.TXT", stem + "_setup.TXT", stem + "_key.TXT"});
        }
    }

    std::vector<std::string> Arguments(const std::string& seed) const {
        return {
            ZEK_GENERATE_PATH,         setup.string(), "-o", (folder / "c.csv").string(), "--count",
            std::to_string(kDatasets), "--seed",       seed};
    }

    FolderContents MakeSet(const std::string& seed) {
        testing::PutContents(folder, {});
        const pid_t child = Start(Arguments(seed), 0);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return ContentsOf(folder);
    }

    // Started directly, so that a signal reaches zek-generate and no shell between.
    static pid_t Start(const std::vector<std::string>& arguments, uid_t user) {
        const pid_t child = ::fork();
        if (child != 0) return child;
        if (user != 0 && (::setgid(user) != 0 || ::setuid(user) != 0)) ::_exit(126);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }

    // The next run of ZEK in the folder: another file, which tidies up first.
    void ExpectOneSetPerDatasetAndATrueKey(uid_t user) {
        const pid_t next = Start({ZEK_GENERATE_PATH, setup.string(), "-o",
                                  (folder / "next.csv").string(), "--count", "1", "--no-key"},
                                 user);
        int status = 0;
        ::waitpid(next, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        for (const char* name : {"next.csv", "next_info.TXT", "next_setup.TXT"}) {
            fs::remove(folder / name);
        }
        testing::ExpectDatasetsOfOneSetAndATrueKey(ContentsOf(folder), earlierSet, newSet, datasets,
                                                   "c_key.csv");
    }

    void InterruptAtRandomMoments(uid_t user) {
        // How long a whole run takes here, so that the moments fall inside it.
        const auto start = std::chrono::steady_clock::now();
        MakeSet("5000");
        const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count();
        std::mt19937 moments(20261209);
        std::uniform_int_distribution<long> moment(0, whole);
        int stoppedMidway = 0;
        for (int run = 0; run < 2 * kRunsPerSignal; ++run) {
            const int signal = run % 2 == 0 ? SIGKILL : SIGINT;
            SCOPED_TRACE("run " + std::to_string(run) + ", " + strsignal(signal));
            testing::PutContents(folder, earlierSet);
            if (user != 0) {
                ASSERT_EQ(::chown(folder.c_str(), user, user), 0);
                for (const auto& [name, text] : earlierSet) {
                    ASSERT_EQ(::chown((folder / name).c_str(), user, user), 0);
                }
            }
            const pid_t child = Start(Arguments("5000"), user);
            std::this_thread::sleep_for(std::chrono::microseconds(moment(moments)));
            ::kill(child, signal);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            if (signal == SIGINT && WIFEXITED(status)) {
                // Stopped in good order, or done before the signal came.
                EXPECT_TRUE(WEXITSTATUS(status) == 130 || WEXITSTATUS(status) == 0)
                    << WEXITSTATUS(status);
            }
            stoppedMidway += ContentsOf(folder) != newSet ? 1 : 0;
            ExpectOneSetPerDatasetAndATrueKey(user);
        }
        EXPECT_GT(stoppedMidway, kRunsPerSignal / 2);
    }

    static constexpr int kRunsPerSignal = 50;
    testing::TemporaryFolder temporary;
    const fs::path& folder = temporary.path();
    const fs::path setup = folder.parent_path() / (folder.filename().string() + "_setup.TXT");
    FolderContents earlierSet;
    FolderContents newSet;
    std::vector<std::vector<std::string>> datasets;
};

TEST_F(InterruptedRunsTest, KilledOrStoppedAtAnyMomentTheNextRunFindsOneSetPerDataset) {
    InterruptAtRandomMoments(0);
}

TEST_F(InterruptedRunsTest, AsASecondUserTooTheNextRunFindsOneSetPerDataset) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    fs::permissions(setup, fs::perms::all);
    InterruptAtRandomMoments(kNobody);
}

// Four runs of one set at once: one writes it, the others stop before they write anything,
// and the set on disk is the one run's, with its key.
TEST_F(InterruptedRunsTest, FourRunsOfOneSetAtOnceLeaveExactlyOneSetAndItsKey) {
    for (int race = 0; race < 8; ++race) {
        SCOPED_TRACE("race " + std::to_string(race));
        testing::PutContents(folder, earlierSet);
        std::vector<pid_t> runs;
        for (int run = 0; run < 4; ++run) runs.push_back(Start(Arguments("5000"), 0));
        int written = 0;
        for (const pid_t run : runs) {
            int status = 0;
            ::waitpid(run, &status, 0);
            ASSERT_TRUE(WIFEXITED(status));
            written += WEXITSTATUS(status) == 0 ? 1 : 0;
        }
        EXPECT_GE(written, 1);
        if (written == 1) {
            EXPECT_EQ(ContentsOf(folder), newSet);
        }
        ExpectOneSetPerDatasetAndATrueKey(0);
    }
}

}  // namespace
}  // namespace zek
