#include "files/save_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/faulty_file_system.h"
#include "support/text_files.h"

namespace zek {
namespace {

namespace fs = std::filesystem;
using testing::Contents;
using testing::FaultyFileSystem;
using testing::NamesIn;
using testing::TemporaryFolder;

using testing::Put;
using testing::Writing;

std::vector<std::string> OwnFilesLeftIn(const fs::path& folder) {
    std::vector<std::string> own;
    for (const std::string& name : NamesIn(folder)) {
        if (name.rfind(".zek-", 0) == 0) own.push_back(name);
    }
    return own;
}

// One dataset of last week beside which this week's is saved, failing or ending at any call.
class DatasetSave : public ::testing::Test {
  protected:
    void PutLastWeeks() {
        for (const std::string& name : names) {
            fs::remove_all(folder.path() / name);
            Put(folder.path() / name, "last week's " + name);
        }
    }
    std::vector<PendingFile> ThisWeeks() const {
        std::vector<PendingFile> files;
        for (const std::string& name : names) {
            files.push_back(Writing(folder.path() / name, "this week's " + name));
        }
        return files;
    }
    /// "last week's" or "this week's" when every file is of that week, else what is mixed.
    std::string WeekOnDisk() const {
        std::string week;
        for (const std::string& name : names) {
            const std::string text = Contents(folder.path() / name);
            const std::string itsWeek = text.substr(0, text.find(' ', 5));
            if (text != itsWeek + " " + name) return "a damaged " + name + ": " + text;
            if (!week.empty() && itsWeek != week) return "mixed weeks";
            week = itsWeek;
        }
        return week;
    }
    /// The next save in the folder, of another name, as the next run of ZEK would make it.
    void SaveSomethingElse() {
        WriteTextFilesTogether({Writing(folder.path() / "notes.csv", "notes")});
    }
    int CallsOfAWholeSave() {
        PutLastWeeks();
        const FaultyFileSystem counting;
        WriteTextFilesTogether(ThisWeeks(), counting);
        return counting.calls();
    }

    TemporaryFolder folder;
    const std::vector<std::string> names{"d.csv", "d_info.TXT", "d_setup.TXT", "d_key.TXT"};
};

// Whichever call fails, the save either fails with every earlier file as it was, or stands
// whole; what it could not tidy, the next save does.
TEST_F(DatasetSave, EveryFailingCallLeavesTheEarlierFilesOrTheWholeNewSet) {
    const int calls = CallsOfAWholeSave();
    ASSERT_GT(calls, 20);
    for (int call = 1; call <= calls; ++call) {
        SCOPED_TRACE("call " + std::to_string(call) + " fails");
        PutLastWeeks();
        const FaultyFileSystem faulty(call, FaultyFileSystem::Fault::Fail, ENOSPC);
        bool saved = true;
        try {
            WriteTextFilesTogether(ThisWeeks(), faulty);
        } catch (const FileError& error) {
            saved = false;
            EXPECT_EQ(std::string(error.what()).rfind("Cannot ", 0), 0u) << error.what();
        }
        EXPECT_EQ(WeekOnDisk(), saved ? "this week's" : "last week's");
        SaveSomethingElse();
        EXPECT_EQ(OwnFilesLeftIn(folder.path()), std::vector<std::string>{});
    }
}

// A process killed at any call of its save leaves a dataset that the next save in the folder
// finishes, or leaves as it was: never files of two weeks.
TEST_F(DatasetSave, AKillAtEveryCallIsFinishedOrUndoneByTheNextSave) {
    const int calls = CallsOfAWholeSave();
    bool someFinishedByTheNextSave = false;
    for (int call = 1; call <= calls; ++call) {
        SCOPED_TRACE("killed at call " + std::to_string(call));
        PutLastWeeks();
        ASSERT_TRUE(testing::KilledAtCall(call, [&](const FaultyFileSystem& killing) {
            WriteTextFilesTogether(ThisWeeks(), killing);
        }));
        const std::string beforeTheNextSave = WeekOnDisk();
        SaveSomethingElse();
        const std::string week = WeekOnDisk();
        EXPECT_TRUE(week == "last week's" || week == "this week's") << week;
        someFinishedByTheNextSave |= beforeTheNextSave != week;
        EXPECT_EQ(OwnFilesLeftIn(folder.path()), std::vector<std::string>{});
    }
    EXPECT_TRUE(someFinishedByTheNextSave);
}

// A save of one file has no set to undo: killed at any call, the next save finds the earlier
// file or the new one at its name, never neither.
TEST_F(DatasetSave, AKillAtEveryCallOfASaveOfOneFileLeavesOneWholeFile) {
    const fs::path data = folder.path() / "d.csv";
    Put(data, "last week's d.csv");
    const FaultyFileSystem counting;
    WriteTextFilesTogether({Writing(data, "this week's d.csv")}, counting);
    for (int call = 1; call <= counting.calls(); ++call) {
        SCOPED_TRACE("killed at call " + std::to_string(call));
        Put(data, "last week's d.csv");
        ASSERT_TRUE(testing::KilledAtCall(call, [&](const FaultyFileSystem& killing) {
            WriteTextFilesTogether({Writing(data, "this week's d.csv")}, killing);
        }));
        SaveSomethingElse();
        ASSERT_TRUE(fs::exists(data));
        const std::string text = Contents(data);
        EXPECT_TRUE(text == "last week's d.csv" || text == "this week's d.csv") << text;
        EXPECT_EQ(OwnFilesLeftIn(folder.path()), std::vector<std::string>{});
    }
}

// Where a failed save cannot put an earlier file back, that file is kept under a name of the
// user's that the message gives, and that no later save tidies away: no failure of any two
// calls loses last week's text.
TEST_F(DatasetSave, AnEarlierFileThatCannotBePutBackIsKeptWhereTheMessageSays) {
    const int calls = CallsOfAWholeSave();
    int kept = 0;
    for (int first = 1; first <= calls; ++first) {
        for (int second = first + 1; second <= calls; ++second) {
            SCOPED_TRACE("calls " + std::to_string(first) + " and " + std::to_string(second));
            for (const std::string& name : NamesIn(folder.path())) {
                fs::remove_all(folder.path() / name);
            }
            PutLastWeeks();
            FaultyFileSystem faulty(first, FaultyFileSystem::Fault::Fail, EIO);
            faulty.AlsoFail(second);
            std::string message;
            try {
                WriteTextFilesTogether(ThisWeeks(), faulty);
            } catch (const FileError& error) {
                message = error.what();
            }
            SaveSomethingElse();
            if (message.empty()) {
                EXPECT_EQ(WeekOnDisk(), "this week's");
                continue;
            }
            for (const std::string& name : names) {
                if (Contents(folder.path() / name) == "last week's " + name) continue;
                bool found = false;
                for (const std::string& other : NamesIn(folder.path())) {
                    if (Contents(folder.path() / other) != "last week's " + name) continue;
                    found = message.find((folder.path() / other).string()) != std::string::npos;
                }
                EXPECT_TRUE(found) << name << ": " << message;
                kept += found ? 1 : 0;
            }
        }
    }
    EXPECT_GT(kept, 0) << "no pair of failures kept an earlier file aside";
}

// A user's file in a folder they may not add to is written where it stands, but only once
// the room for the new text is reserved: a full disk leaves the earlier file whole.
TEST_F(DatasetSave, InPlaceTheEarlierFileStaysWholeUnlessTheNewOneHasRoom) {
    const fs::path data = folder.path() / "d.csv";
    const std::string earlier(5000, 'e');
    Put(data, earlier);
    FaultyFileSystem full(0);
    full.RefuseNewFiles();
    WriteTextFilesTogether({Writing(data, "short")}, full);
    EXPECT_EQ(Contents(data), "short");

    Put(data, earlier);
    FaultyFileSystem fullDisk;
    fullDisk.RefuseNewFiles();
    fullDisk.FillDisk();
    try {
        WriteTextFilesTogether({Writing(data, std::string(9000, 'n'))}, fullDisk);
        ADD_FAILURE() << "a full disk took the file";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot write file \"" + data.string() + "\": No space left on device");
    }
    EXPECT_TRUE(Contents(data) == earlier) << "the earlier file was damaged";
}

// One set, one lock: a second program saving the same name at the same moment stops before
// it writes anything, and a file that another user planted under the lock's name refuses the
// save rather than letting it go on without a lock.
TEST_F(DatasetSave, ASecondSaveOfTheSetOrAPlantedLockRefusesAndWritesNothing) {
    PutLastWeeks();
    {
        const SaveFolder first((folder.path() / "d.csv").string());
        try {
            WriteTextFilesTogether(ThisWeeks());
            ADD_FAILURE() << "the second save went on";
        } catch (const FileError& error) {
            EXPECT_NE(std::string(error.what()).find("is being written by another program"),
                      std::string::npos);
        }
        EXPECT_EQ(WeekOnDisk(), "last week's");
        // Saves of other names go on beside it.
        SaveSomethingElse();
    }
    EXPECT_EQ(OwnFilesLeftIn(folder.path()), std::vector<std::string>{});

    const SaveFolder probe((folder.path() / "d.csv").string());
    std::string lockName;
    // The set's lock is the one own file that a save holds while it works.
    for (const std::string& name : OwnFilesLeftIn(folder.path())) {
        if (name != ".zek-folder.lock") lockName = name;
    }
    ASSERT_FALSE(lockName.empty());
    ASSERT_TRUE(fs::remove(folder.path() / lockName));
    fs::create_directory(folder.path() / lockName);
    EXPECT_THROW(WriteTextFilesTogether(ThisWeeks()), FileError);
    EXPECT_EQ(WeekOnDisk(), "last week's");
    fs::remove(folder.path() / lockName);
}

// A program that keeps the folder to itself (tidying it, or stuck while it does) is waited for
// a while, and then the save refuses rather than go on without the folder's lock.
TEST_F(DatasetSave, AFolderKeptLockedByAnotherProgramRefusesTheSaveAfterAWait) {
    PutLastWeeks();
    const platform::FileSystem& files = platform::SystemFiles();
    const std::string folderLock = (folder.path() / ".zek-folder.lock").string();
    const platform::Opened opened = files.OpenLockFile(folderLock);
    const int held = opened.descriptor;
    ASSERT_GE(held, 0) << opened.error;
    // A lock of its own open file, as another program's would be.
    ASSERT_EQ(files.LockFile(held, platform::LockKind::Exclusive), platform::Lock::Held);
    try {
        WriteTextFilesTogether(ThisWeeks());
        ADD_FAILURE() << "the save went on without the folder's lock";
    } catch (const FileError& failure) {
        EXPECT_NE(std::string(failure.what()).find("has kept its folder locked"), std::string::npos)
            << failure.what();
    }
    files.ReleaseLockFile(held, folderLock, true);
    EXPECT_EQ(WeekOnDisk(), "last week's");
    WriteTextFilesTogether(ThisWeeks());
    EXPECT_EQ(WeekOnDisk(), "this week's");
}

// A program that finished its save may remove the lock's file between our open and our lock:
// a lock on that file would lock nothing, so the save opens the name again and holds the
// file that stands under it, which a second save then finds taken.
TEST_F(DatasetSave, ALockFileRemovedBeforeItIsLockedIsOpenedAgain) {
    PutLastWeeks();
    FaultyFileSystem racing;
    bool removed = false;
    racing.afterLockFileOpened = [&](const std::string& path) {
        if (removed || path.find(".zek-folder") != std::string::npos) return;
        removed = true;
        fs::remove(path);
    };
    bool secondRefused = false;
    std::vector<PendingFile> files = ThisWeeks();
    files.push_back({(folder.path() / "d_more.TXT").string(), [&](std::ostream& out) {
                         try {
                             const SaveFolder second((folder.path() / "d.csv").string());
                         } catch (const FileError&) {
                             secondRefused = true;
                         }
                         WriteChecked(out, "more");
                     }});
    WriteTextFilesTogether(files, racing);
    EXPECT_TRUE(removed);
    EXPECT_TRUE(secondRefused) << "the first save held a lock on a file without a name";
}

// The next save finishes a complete journal's replacement, ignores one cut short (it was cut
// before any file moved), and removes ZEK's leftovers but no file of the user's.
TEST_F(DatasetSave, TheNextSaveFinishesACompleteJournalAndRemovesOnlyZeksOwnFiles) {
    const fs::path own = folder.path();
    Put(own / "d.csv", "last week's d.csv");
    Put(own / ".zek-0000000a.tmp", "this week's d.csv");
    Put(own / ".zek-0000000b.journal", "ZEK journal 1\n" + (own / ".zek-0000000a.tmp").string() +
                                           "\n" + (own / "d.csv").string() + "\nend\n");
    Put(own / "e.csv", "last week's e.csv");
    Put(own / ".zek-0000000c.tmp", "half of this");
    Put(own / ".zek-0000000d.journal",
        "ZEK journal 1\n" + (own / ".zek-0000000c.tmp").string() + "\n" + (own / "e.csv").string());
    Put(own / ".zek-notes.txt", "the user's");
    Put(own / ".zek-0000000e.old", "an earlier file kept aside");
    SaveSomethingElse();
    EXPECT_EQ(Contents(own / "d.csv"), "this week's d.csv");
    EXPECT_EQ(Contents(own / "e.csv"), "last week's e.csv");
    EXPECT_EQ(OwnFilesLeftIn(own), std::vector<std::string>{".zek-notes.txt"});
}

}  // namespace
}  // namespace zek
