#include "commands/class_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "commands/run_command.h"
#include "commands/save_command.h"
#include "files/answer_key_file.h"
#include "files/text_file.h"
#include "support/last_of.h"
#include "support/recording_host.h"
#include "support/text_files.h"

namespace zek {
namespace {

namespace fs = std::filesystem;
using testing::Contents;
using testing::LastOf;

class ClassSetTest : public ::testing::Test {
  protected:
    ClassSetRequest Request(int count, std::int32_t firstSeed, const std::string& name,
                            int threads = 0) {
        ClassSetRequest request;
        request.count = count;
        request.firstSeed = firstSeed;
        request.threads = threads;
        request.dataFile = (folder / name).string();
        return request;
    }
    ClassSetResult Generate(const ClassSetRequest& request, ClassSetProgress progress = {}) {
        return GenerateClassSet(window, *state, host, request, progress);
    }
    std::set<std::string> FilesInFolder() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    testing::TemporaryFolder temporary;
    const fs::path& folder = temporary.path();
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    testing::RecordingHost host;
    MainWindowModel window{*state, host, '.'};
};

TEST_F(ClassSetTest, SetsMadeOneAfterAnotherNeverShareADatasetNorMoveTheSeedBox) {
    ASSERT_EQ(window.seed(), "1804");
    ASSERT_EQ(OfferedFirstSeed(*state, window), "1804");
    const ClassSetResult first = Generate(Request(3, 1804, "lab.csv"));
    ASSERT_EQ(first.datasets.size(), 3u);
    EXPECT_EQ(window.seed(), "1804") << "F9 must keep using the seed the teacher typed";
    EXPECT_EQ(OfferedFirstSeed(*state, window), "1807");

    ClassSetRequest second = Request(2, 0, "lab2.csv");
    second.firstSeed = std::stoi(OfferedFirstSeed(*state, window));
    ASSERT_EQ(Generate(second).datasets.size(), 2u);
    const std::string lastOfFirst = Contents(folder / "lab_3.csv");
    for (const char* name : {"lab2_1.csv", "lab2_2.csv"}) {
        EXPECT_NE(Contents(folder / name), lastOfFirst) << name;
    }
    EXPECT_EQ(window.seed(), "1804");
    EXPECT_EQ(OfferedFirstSeed(*state, window), "1809");
    // The parameters file of each dataset carries its own seed, so that it reproduces it.
    EXPECT_NE(Contents(folder / "lab2_2_setup.TXT").find("\r\n1808\r\n"), std::string::npos);
}

TEST_F(ClassSetTest, ARefusedSetupWritesNothingAndKeepsTheEarlierClassKey) {
    ASSERT_EQ(Generate(Request(2, 5, "d.csv")).outcome, ClassSetOutcome::Written);
    const std::string keyBefore = Contents(folder / "d_key.csv");
    const std::set<std::string> filesBefore = FilesInFolder();

    window.SetBoxText(1, BoxEdit::N, "1");
    const ClassSetResult refused = Generate(Request(3, 5, "d.csv"));
    EXPECT_EQ(refused.outcome, ClassSetOutcome::Refused);
    EXPECT_TRUE(refused.datasets.empty());
    EXPECT_EQ(LastOf(host.messages), "Minimum Data per cell is 2");
    EXPECT_EQ(Contents(folder / "d_key.csv"), keyBefore);
    EXPECT_EQ(FilesInFolder(), filesBefore);
}

TEST_F(ClassSetTest, AFailedDatasetLeavesNoPartOfItAndAKeyOfTheCompleteOnes) {
    // Dataset 2's parameters file cannot be written: a folder stands in its place. One after
    // another, nothing follows the failure.
    fs::create_directory(folder / "c_2_setup.TXT");
    try {
        Generate(Request(3, 11, "c.csv", 1));
        FAIL() << "the set reported success";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), (folder / "c_2_setup.TXT").string());
        EXPECT_NE(std::string(error.what()).find("c_2_setup.TXT"), std::string::npos);
    }
    const std::set<std::string> expected{"c_1.csv",     "c_1_info.TXT",  "c_1_setup.TXT",
                                         "c_1_key.TXT", "c_2_setup.TXT", "c_key.csv"};
    EXPECT_EQ(FilesInFolder(), expected);
    const auto key = testing::SplitCrLf(Contents(folder / "c_key.csv"));
    ASSERT_EQ(key.size(), 2u) << "a header and the one complete dataset";
    EXPECT_EQ(key[1].rfind("1,11,", 0), 0u) << key[1];
    EXPECT_EQ(state->nextClassSetSeed, 12);
}

TEST_F(ClassSetTest, AKeyThatCannotBeWrittenEitherIsSaidAfterTheFirstFailure) {
    fs::create_directory(folder / "c_2_info.TXT");
    fs::create_directory(folder / "c_key.csv");
    try {
        Generate(Request(3, 11, "c.csv"));
        FAIL() << "the set reported success";
    } catch (const FileError& error) {
        const std::string message = error.what();
        EXPECT_EQ(error.path(), (folder / "c_2_info.TXT").string());
        const std::size_t first = message.find("c_2_info.TXT");
        const std::size_t key = message.find("The class key could not be written either");
        ASSERT_NE(first, std::string::npos) << message;
        ASSERT_NE(key, std::string::npos) << message;
        EXPECT_LT(first, key);
        EXPECT_NE(message.find("c_key.csv", key), std::string::npos) << message;
    }
}

TEST_F(ClassSetTest, ACancelledSetListsExactlyTheDatasetsOnDisk) {
    bool started = false;
    ClassSetProgress progress;
    progress.started = [&] { started = true; };
    progress.written = [](const WrittenDataset& dataset) { return dataset.index < 2; };
    const ClassSetResult result = Generate(Request(4, 100, "s.csv", 1), progress);
    EXPECT_TRUE(started);
    EXPECT_EQ(result.outcome, ClassSetOutcome::Cancelled);
    EXPECT_EQ(result.datasets.size(), 2u);
    EXPECT_EQ(testing::SplitCrLf(Contents(folder / "s_key.csv")).size(), 3u);
    EXPECT_FALSE(fs::exists(folder / "s_3.csv"));
}

// On several threads, datasets after a failure or a stop may be complete already: they stay,
// and the class key lists exactly the complete datasets on disk, in order.
TEST_F(ClassSetTest, OnSeveralThreadsTheKeyListsExactlyTheCompleteDatasetsOnDisk) {
    auto expectKeyListsWhatIsOnDisk = [&](const ClassSetRequest& request,
                                          const std::vector<WrittenDataset>& datasets) {
        const auto key = testing::SplitCrLf(Contents(ClassKeyFileNameFor(request.dataFile)));
        ASSERT_EQ(key.size(), datasets.size() + 1);
        for (int index = 1; index <= request.count; ++index) {
            const std::string data = DatasetFileName(request, index);
            const bool listed =
                std::any_of(datasets.begin(), datasets.end(),
                            [&](const WrittenDataset& d) { return d.index == index; });
            EXPECT_EQ(fs::exists(data), listed) << data;
        }
        for (std::size_t row = 0; row < datasets.size(); ++row) {
            EXPECT_EQ(key[row + 1].rfind(std::to_string(datasets[row].index) + ",", 0), 0u);
            if (row > 0) {
                EXPECT_LT(datasets[row - 1].index, datasets[row].index);
            }
        }
    };

    ClassSetProgress progress;
    progress.written = [](const WrittenDataset& dataset) { return dataset.index < 3; };
    const ClassSetRequest stoppedSet = Request(60, 100, "s.csv", 3);
    const ClassSetResult stopped = Generate(stoppedSet, progress);
    EXPECT_EQ(stopped.outcome, ClassSetOutcome::Cancelled);
    EXPECT_GE(stopped.datasets.size(), 3u);
    EXPECT_LT(stopped.datasets.size(), 60u);
    expectKeyListsWhatIsOnDisk(stoppedSet, stopped.datasets);

    fs::create_directory(folder / "c_04_setup.TXT");
    const ClassSetRequest failedSet = Request(12, 11, "c.csv", 3);
    try {
        Generate(failedSet);
        FAIL() << "the set reported success";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), (folder / "c_04_setup.TXT").string());
    }
    EXPECT_FALSE(fs::exists(folder / "c_04.csv"));
    EXPECT_FALSE(fs::exists(folder / "c_04_info.TXT"));
    std::vector<WrittenDataset> onDisk;
    for (int index = 1; index <= 12; ++index) {
        if (fs::exists(DatasetFileName(failedSet, index)))
            onDisk.push_back({index, 10 + index, ""});
    }
    EXPECT_GE(onDisk.size(), 3u);
    expectKeyListsWhatIsOnDisk(failedSet, onDisk);
}

// Seed 0 does not restart the subtractive streams, so its dataset goes on from the one before:
// a set through seed 0 asked for several threads is made in order all the same.
TEST_F(ClassSetTest, ASetThroughSeedZeroIsMadeInOrderWhateverTheThreads) {
    window.SetMissingText("20");
    const ClassSetRequest inOrder = Request(5, -2, "order.csv", 1);
    const ClassSetRequest asked = Request(5, -2, "threads.csv", 3);
    Generate(inOrder);
    Generate(asked);
    for (int index = 1; index <= 5; ++index) {
        EXPECT_TRUE(Contents(DatasetFileName(inOrder, index)) ==
                    Contents(DatasetFileName(asked, index)))
            << index;
    }
}

TEST_F(ClassSetTest, TheSaveDialogStillOffersWhatSaveLastWrote) {
    ASSERT_EQ(RunCommand(window, *state, host), RunOutcome::Generated);
    host.saveAnswers = {(folder / "mine.csv").string()};
    SaveDataFiles(*state, host);
    Generate(Request(3, 7, "cls.csv"));
    ASSERT_EQ(RunCommand(window, *state, host), RunOutcome::Generated);
    SaveDataFiles(*state, host);
    EXPECT_EQ(LastOf(host.saveOffers), (folder / "mine.csv").string());
}

TEST_F(ClassSetTest, AnEarlierSetUnderTheSameNameIsFoundBeforeAnythingIsReplaced) {
    Generate(Request(12, 1, "class.csv"));
    const ClassSetRequest smaller = Request(2, 50, "class.csv");
    const std::vector<std::string> existing = ExistingClassSetFiles(smaller);
    // class_1 and class_2 are new names beside class_01 ..; only the class key would go.
    EXPECT_EQ(existing, std::vector<std::string>{(folder / "class_key.csv").string()});
    const std::string question = ReplaceClassSetQuestion(smaller, existing);
    EXPECT_NE(question.find("1 file of this class set already exists in " + folder.string()),
              std::string::npos)
        << question;
    EXPECT_TRUE(ExistingClassSetFiles(Request(2, 50, "other.csv")).empty());
}

// With exact sample statistics every dataset of a set is exact, so the class key shows the
// asked means and SDs in every row.
TEST_F(ClassSetTest, AnExactSetHasTheAskedFiguresInEveryRowOfItsKey) {
    window.SetMissingText("0");
    window.SetExtremeText("0");
    for (int box = 1; box <= 2; ++box) {
        window.SelectShape(box, DistributionKind::Normal);
        window.SetBoxText(box, BoxEdit::Mean, box == 1 ? "50" : "57.5");
        window.SetBoxText(box, BoxEdit::Sd, box == 1 ? "10" : "7.25");
        window.SetBoxText(box, BoxEdit::N, "23");
        window.SetBoxText(box, BoxEdit::Decimals, "2");
    }
    state->setup.exactStatistics = true;
    ASSERT_EQ(Generate(Request(4, 31, "exact.csv")).datasets.size(), 4u);
    std::istringstream key(Contents(folder / "exact_key.csv"));
    std::string line;
    std::getline(key, line);
    ASSERT_TRUE(
        line.starts_with("dataset,seed,data_file,group1_n,group1_mean,group1_sd,group2_n,"
                         "group2_mean,group2_sd,"))
        << line;
    int rows = 0;
    while (std::getline(key, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
        ASSERT_GE(fields.size(), 9u) << line;
        auto atTwoDecimals = [](const std::string& text) {
            return std::round(std::stod(text) * 100.0) / 100.0;
        };
        EXPECT_EQ(atTwoDecimals(fields[4]), 50.0) << line;
        EXPECT_EQ(atTwoDecimals(fields[5]), 10.0) << line;
        EXPECT_EQ(atTwoDecimals(fields[7]), 57.5) << line;
        EXPECT_EQ(atTwoDecimals(fields[8]), 7.25) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 4);
    EXPECT_NE(Contents(folder / "exact_2_info.TXT")
                  .find("The data file's means and SDs are the requested ones at each box's "
                        "decimals."),
              std::string::npos);
}

// Randomly chosen shapes differ by seed, and a later dataset's may not reach a correlation
// the first one's reach: every dataset is checked before any is written, and the set is
// refused with the dataset, its seed and the reason.
TEST_F(ClassSetTest, ADatasetWhoseShapesCannotReachTheCorrelationsRefusesTheWholeSet) {
    window.SelectDesign(DesignKind::Correlated2);
    window.SelectShape(1, DistributionKind::RandomlyChosen);
    window.SelectShape(2, DistributionKind::RandomlyChosen);
    window.SetCorrelationText(1, 2, "0.97");
    bool refusedLater = false;
    for (std::int32_t first = 1; first < 60 && !refusedLater; first += 20) {
        const ClassSetResult result = Generate(Request(20, first, "shapes.csv"));
        if (result.outcome != ClassSetOutcome::Refused) continue;
        const std::string said = LastOf(host.messages);
        if (said.rfind("Dataset ", 0) != 0) continue;  // the first dataset's own refusal
        refusedLater = true;
        EXPECT_NE(said.find("of the class set (seed "), std::string::npos) << said;
        EXPECT_NE(said.find(") cannot be made, so none is written: Sorry, the shapes you chose "
                            "cannot have every correlation you asked for"),
                  std::string::npos)
            << said;
        EXPECT_NE(LastOf(host.details).find("can only be correlated between"), std::string::npos);
        EXPECT_TRUE(FilesInFolder().empty());
    }
    EXPECT_TRUE(refusedLater);
}

TEST(ClassSetFormTest, TheHintAndTheSeedFollowWhatIsTyped) {
    EXPECT_EQ(ClassSetNamingHint("lab.csv", 5),
              "The files are numbered: lab_1.csv, lab_2.csv, ... lab_5.csv, and the class key is "
              "lab_key.csv.");
    EXPECT_EQ(ClassSetNamingHint("exam", 30),
              "The files are numbered: exam_01.TXT, exam_02.TXT, ... exam_30.TXT, and the class "
              "key is exam_key.csv.");
    EXPECT_EQ(ClassSetNamingHint("one.csv", 1), "One dataset: one.csv, with no class key.");

    ClassSetForm form;
    form.students = 3;
    form.firstSeed = "-2147483648";
    form.folder = "/tmp";
    form.fileName = "x.csv";
    EXPECT_EQ(ReadClassSetForm(form).refusal().message, "Seed must be an INTEGER value");
    form.firstSeed = "2147483646";
    EXPECT_NE(ReadClassSetForm(form).refusal().message.find("go past 2147483647"),
              std::string::npos);
    form.firstSeed = "2147483645";
    const Checked<ClassSetRequest> request = ReadClassSetForm(form);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->dataFile, "/tmp/x.csv");
    EXPECT_EQ(request->firstSeed, 2147483645);
}

}  // namespace
}  // namespace zek

namespace zek {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class RosterClassSetTest : public ClassSetTest {
  protected:
    ClassSetForm FormWithRoster(const std::string& roster) {
        {
            std::ofstream file(folder / "students.csv", std::ios::binary);
            file << roster;
        }
        ClassSetForm form;
        form.firstSeed = "500";
        form.folder = folder.string();
        form.fileName = "exam.csv";
        form.roster = (folder / "students.csv").string();
        return form;
    }
};

TEST_F(RosterClassSetTest, EachStudentsDatasetIsNamedByTheirIdAndTakesTheSeedOfTheirPosition) {
    ClassSetForm form = FormWithRoster("id,name\ns1,\"Smith, Anna\"\nb-2,Bo\nC.3,Cy\n");
    form.handouts = true;
    form.quiz = true;
    form.quizFigures = {"mean_difference"};
    const Checked<ClassSetRequest> request = ReadClassSetForm(form);
    ASSERT_TRUE(request) << request.refusal().message;
    EXPECT_EQ(request->count, 3);
    ASSERT_EQ(Generate(*request).datasets.size(), 3u) << LastOf(host.messages);
    // The same seeds without a roster give the same data, in the same order.
    ASSERT_EQ(Generate(Request(3, 500, "plain.csv")).datasets.size(), 3u);
    EXPECT_EQ(Contents(folder / "exam_s1.csv"), Contents(folder / "plain_1.csv"));
    EXPECT_EQ(Contents(folder / "exam_b-2.csv"), Contents(folder / "plain_2.csv"));
    EXPECT_EQ(Contents(folder / "exam_C.3.csv"), Contents(folder / "plain_3.csv"));
    EXPECT_TRUE(fs::exists(folder / "exam_C.3_key.TXT"));

    const std::vector<std::string> key = LinesOf(Contents(folder / "exam_key.csv"));
    ASSERT_EQ(key.size(), 4u);
    EXPECT_EQ(key[0].rfind("dataset,id,name,seed,data_file,group1_n,", 0), 0u) << key[0];
    EXPECT_EQ(key[1].rfind("1,s1,\"Smith, Anna\",500,exam_s1.csv,", 0), 0u) << key[1];
    EXPECT_EQ(key[3].rfind("3,C.3,Cy,502,exam_C.3.csv,", 0), 0u) << key[3];
    EXPECT_EQ(Contents(folder / "exam_handouts.pdf").rfind("%PDF-1.4", 0), 0u);
    const std::string quiz = Contents(folder / "exam_moodle.xml");
    EXPECT_EQ(std::count(quiz.begin(), quiz.end(), '{'), 3) << "one blank per student";
    EXPECT_NE(quiz.find("<idnumber>b-2</idnumber>"), std::string::npos);
}

TEST_F(RosterClassSetTest, HandoutsThatCannotBeWrittenStillLeaveAKeyOfTheDatasets) {
    ClassSetForm form = FormWithRoster("id\ns1\ns2\n");
    form.handouts = true;
    form.quiz = true;
    fs::create_directory(folder / "exam_handouts.pdf");
    try {
        Generate(*ReadClassSetForm(form));
        FAIL() << "the set reported success";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), (folder / "exam_handouts.pdf").string());
    }
    EXPECT_EQ(LinesOf(Contents(folder / "exam_key.csv")).size(), 3u);
    EXPECT_FALSE(fs::exists(folder / "exam_moodle.xml")) << "the quiz goes with the handouts";
}

TEST_F(RosterClassSetTest, StudentsWhoseFilesWouldTakeOtherFilesNamesAreRefusedWithTheirLine) {
    // "exam" + "key" is the class key's name.
    ClassSetForm form = FormWithRoster("id\ns1\nkey\n");
    EXPECT_EQ(ReadClassSetForm(form).refusal().message,
              (folder / "students.csv").string() +
                  " line 3: the student's files would take the name exam_key.csv of the set's "
                  "own file");
    // With text data files, a's information file is the data file of "a_info".
    form = FormWithRoster("id\na\nb\na_info\n");
    form.fileName = "exam.TXT";
    EXPECT_EQ(ReadClassSetForm(form).refusal().message,
              (folder / "students.csv").string() +
                  " line 4: the student's files would take the name exam_a_info.TXT of the "
                  "files of line 2");
    EXPECT_EQ(ReadClassSetForm(form).refusal().focus, "txt_roster");
    form = FormWithRoster("name\nAnna\n");
    EXPECT_NE(ReadClassSetForm(form).refusal().message.find("names no id column"),
              std::string::npos);
}

TEST_F(RosterClassSetTest, HandoutsOrAQuizThatCannotBeMadeStopTheSetBeforeAnyFile) {
    ClassSetForm form = FormWithRoster("id,name\ns1,Anna\ns2,Micha\xC5\x82\n");
    form.handouts = true;
    const std::set<std::string> before = FilesInFolder();
    EXPECT_EQ(Generate(*ReadClassSetForm(form)).outcome, ClassSetOutcome::Refused);
    EXPECT_EQ(LastOf(host.messages),
              "\"\xC5\x82\" in the roster's name of student s2 cannot be shown by the handouts' "
              "fonts, which show the letters of Western European languages. Nothing was "
              "written.");
    EXPECT_EQ(FilesInFolder(), before);

    form = FormWithRoster("id,name\ns1,Anna\n");
    form.quiz = true;
    form.quizFigures = {"student_t", "welch_r"};
    EXPECT_EQ(Generate(*ReadClassSetForm(form)).outcome, ClassSetOutcome::Refused);
    EXPECT_EQ(LastOf(host.messages)
                  .rfind("The key of this design has no figure welch_r for the "
                         "quiz to ask; its figures are group1_n, ",
                         0),
              0u)
        << LastOf(host.messages);
    EXPECT_EQ(FilesInFolder(), before);
}

}  // namespace
}  // namespace zek
