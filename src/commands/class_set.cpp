#include "commands/class_set.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <functional>
#include <future>
#include <limits>
#include <map>

#include "commands/dataset_workers.h"
#include "commands/option_dialogs.h"
#include "commands/run_command.h"
#include "commands/save_command.h"
#include "commands/silent_host.h"
#include "files/answer_key_file.h"
#include "files/data_file.h"
#include "files/file_names.h"
#include "files/handouts_file.h"
#include "files/moodle_quiz.h"
#include "files/parameters_file.h"
#include "files/save_folder.h"
#include "files/text_file.h"
#include "platform/paths.h"
#include "platform/processors.h"

namespace zek {

namespace {

constexpr std::int64_t kLargestSeed = std::numeric_limits<std::int32_t>::max();

bool SeedsFit(std::int64_t firstSeed, int count) {
    return firstSeed + count - 1 <= kLargestSeed;
}

std::string SeedsRefusal(std::int64_t firstSeed, int count) {
    return std::string(kSeedMessage) + ": the seeds of " + std::to_string(count) +
           " datasets from " + std::to_string(firstSeed) + " go past 2147483647";
}

bool HasClassKey(const ClassSetRequest& request) {
    return request.companions && request.count > 1;
}

// The student of dataset `index` (from 1); none without a roster.
const RosterStudent* StudentOf(const ClassSetRequest& request, int index) {
    if (request.roster.empty()) return nullptr;
    return &request.roster[static_cast<std::size_t>(index - 1)];
}

Handouts HandoutsOf(const ClassSetRequest& request, const GenerationSetup& setup,
                    const std::vector<WrittenDataset>& datasets) {
    Handouts handouts{
        setup.title, request.instructions, DescribeColumns(setup), setup.missingPercent > 0, {}};
    for (const WrittenDataset& dataset : datasets) {
        const RosterStudent* student = StudentOf(request, dataset.index);
        handouts.students.push_back(
            {student ? student->id : std::string(),
             student ? student->name : "Dataset " + std::to_string(dataset.index),
             std::filesystem::path(dataset.dataFile).filename().string()});
    }
    return handouts;
}

MoodleQuiz QuizOf(const ClassSetRequest& request, const GenerationSetup& setup,
                  const std::vector<ClassKeyRow>& rows) {
    const std::string setName = !setup.title.empty()
                                    ? setup.title
                                    : std::filesystem::path(request.dataFile).stem().string();
    MoodleQuiz quiz{setName, request.instructions, request.quizDigits, {}};
    for (const ClassKeyRow& row : rows) {
        const std::string who =
            row.studentId.empty()
                ? "dataset " + std::to_string(row.dataset)
                : row.studentId + (row.studentName.empty() ? std::string() : " " + row.studentName);
        quiz.questions.push_back(
            {setName + " - " + who,
             row.studentId.empty() ? std::to_string(row.dataset) : row.studentId,
             std::filesystem::path(row.dataFile).filename().string(), ReadWholeFile(row.dataFile),
             ChosenFigures(row.key, request.quizFigures)});
    }
    return quiz;
}

// The files about the whole set, of the datasets on disk: the class key, then the handouts
// and the quiz together, so that a failure of those still leaves a key of the datasets.
void WriteClassFiles(const SaveFolder& folder, const ClassSetRequest& request,
                     const GenerationSetup& setup, const std::vector<WrittenDataset>& datasets,
                     const std::vector<ClassKeyRow>& rows) {
    if (request.keys && HasClassKey(request)) {
        folder.WriteTogether(
            {{ClassKeyFileOf(request), [&](std::ostream& out) { WriteClassKey(out, rows); }}});
    }
    std::vector<PendingFile> studentFiles;
    if (!request.handoutsFile.empty()) {
        studentFiles.push_back({request.handoutsFile, [&](std::ostream& out) {
                                    WriteHandouts(out, HandoutsOf(request, setup, datasets));
                                }});
    }
    if (WritesQuiz(request)) {
        studentFiles.push_back({request.quizFile, [&](std::ostream& out) {
                                    WriteMoodleQuiz(out, QuizOf(request, setup, rows));
                                }});
    }
    if (!studentFiles.empty()) folder.WriteTogether(studentFiles);
}

// The four files of one dataset, written together so that a failure leaves no dataset half
// replaced. The run's record names its data file, as a save by hand would. `scoresWritten`
// receives the scores as the data file has them once it is written; `key` gives the answer
// key when its file is written, the last of the four.
void WriteDataset(const SaveFolder& folder, ProgramState& state, const ControlTexts& texts,
                  const std::string& dataFile, const ScoresWritten& scoresWritten,
                  const std::function<const AnswerKey&()>& key, bool companions) {
    std::vector<PendingFile> files = DataAndReportFiles(state, dataFile, scoresWritten);
    if (!companions) {
        files.resize(1);
    } else {
        files.push_back({ParametersFileNameFor(dataFile), [&](std::ostream& out) {
                             WriteParametersFile(out, ParametersFileContentsOf(texts));
                         }});
        if (key) {
            files.push_back({KeyFileNameFor(dataFile), [&](std::ostream& out) {
                                 WriteAnswerKeyText(out, key(), dataFile,
                                                    state.generated.setup.seed);
                             }});
        }
    }
    folder.WriteTogether(files);
}

}  // namespace

Checked<ClassSetRequest> ReadClassSetForm(const ClassSetForm& form) {
    const std::optional<std::int32_t> firstSeed = ParseSeed(form.firstSeed);
    if (!firstSeed) return Refusal{kSeedMessage, "txt_firstseed"};
    if (!SeedsFit(*firstSeed, form.students)) {
        return Refusal{SeedsRefusal(*firstSeed, form.students), "txt_firstseed"};
    }
    const std::filesystem::path folder = platform::AbsolutePath(form.folder);
    ClassSetRequest request;
    request.count = form.students;
    request.firstSeed = *firstSeed;
    request.dataFile = WithDefaultExtension((folder / form.fileName).lexically_normal().string());
    if (!form.roster.empty()) {
        Checked<std::vector<RosterStudent>> roster = ReadRosterFile(form.roster);
        if (!roster) return roster.refusal();
        if (!SeedsFit(*firstSeed, static_cast<int>(roster->size()))) {
            return Refusal{SeedsRefusal(*firstSeed, static_cast<int>(roster->size())),
                           "txt_firstseed"};
        }
        UseRoster(request, std::move(*roster));
        if (Verdict clash = CheckRosterFileNames(request, form.roster)) return *clash;
    }
    if (form.handouts) request.handoutsFile = HandoutsFileOf(request.dataFile);
    request.instructions = form.instructions;
    if (form.quiz) request.quizFile = QuizFileOf(request.dataFile);
    request.quizFigures = form.quizFigures;
    request.quizDigits = form.quizDigits;
    return request;
}

std::string OfferedFirstSeed(const ProgramState& state, const MainWindowModel& window) {
    if (state.nextClassSetSeed) return std::to_string(*state.nextClassSetSeed);
    return window.seed();
}

namespace {

// The seed of dataset `index` (from 1), added in 64 bits: the last may be 2147483647.
std::int32_t SeedOf(const ClassSetRequest& request, int index) {
    return static_cast<std::int32_t>(std::int64_t{*request.firstSeed} + index - 1);
}

std::string RefusalOf(int index, const ControlTexts& texts, const SilentHost& host) {
    std::string message = "Dataset " + std::to_string(index) + " of the class set (seed " +
                          texts.seed + ") could not be generated";
    return host.firstMessage().empty() ? message : message + ": " + host.firstMessage();
}

// The files of one dataset: its data file, and with companions its information and
// parameters files and, where `key`, its answer key.
std::vector<std::string> DatasetFiles(const std::string& dataFile, bool companions, bool key) {
    if (!companions) return {dataFile};
    std::vector<std::string> names{dataFile, InformationFileNameFor(dataFile),
                                   ParametersFileNameFor(dataFile)};
    if (key) names.push_back(KeyFileNameFor(dataFile));
    return names;
}

}  // namespace

std::string DatasetFileName(const ClassSetRequest& request, int index) {
    if (const RosterStudent* student = StudentOf(request, index)) {
        return StudentFileName(request.dataFile, student->id);
    }
    return request.count > 1 ? NumberedFileName(request.dataFile, index, request.count)
                             : request.dataFile;
}

std::vector<std::string> ClassSetFileNames(const ClassSetRequest& request) {
    std::vector<std::string> names;
    for (int index = 1; index <= request.count; ++index) {
        const std::vector<std::string> dataset =
            DatasetFiles(DatasetFileName(request, index), request.companions, request.keys);
        names.insert(names.end(), dataset.begin(), dataset.end());
    }
    if (request.keys && request.companions && request.count > 1) {
        names.push_back(ClassKeyFileOf(request));
    }
    if (!request.handoutsFile.empty()) names.push_back(request.handoutsFile);
    if (WritesQuiz(request)) names.push_back(request.quizFile);
    return names;
}

bool WritesQuiz(const ClassSetRequest& request) {
    return !request.quizFile.empty() && request.keys;
}

void UseRoster(ClassSetRequest& request, std::vector<RosterStudent> roster) {
    request.count = static_cast<int>(roster.size());
    request.roster = std::move(roster);
}

Verdict CheckRosterFileNames(const ClassSetRequest& request, const std::string& rosterFile) {
    // Folders that ignore case take Class_S1.csv and class_s1.csv for one file.
    std::map<std::string, int> owner;  // a file's name and its dataset, 0 for the set's own
    for (int index = 1; index <= request.count; ++index) {
        for (const std::string& name :
             DatasetFiles(DatasetFileName(request, index), request.companions, request.keys)) {
            owner.emplace(CaseFolded(name), index);
        }
    }
    const auto lineOf = [&](int index) { return StudentOf(request, index)->line; };
    std::vector<std::string> setFiles;
    if (request.keys && HasClassKey(request)) setFiles.push_back(ClassKeyFileOf(request));
    if (!request.handoutsFile.empty()) setFiles.push_back(request.handoutsFile);
    if (!request.quizFile.empty()) setFiles.push_back(request.quizFile);
    for (const std::string& name : setFiles) {
        if (const auto found = owner.find(CaseFolded(name)); found != owner.end()) {
            return Refusal{rosterFile + " line " + std::to_string(lineOf(found->second)) +
                               ": the student's files would take the name " +
                               std::filesystem::path(name).filename().string() +
                               " of the set's own file",
                           "txt_roster"};
        }
    }
    std::map<std::string, int> seen;
    for (int index = 1; index <= request.count; ++index) {
        for (const std::string& name :
             DatasetFiles(DatasetFileName(request, index), request.companions, request.keys)) {
            const auto [found, added] = seen.emplace(CaseFolded(name), index);
            if (!added && found->second != index) {
                return Refusal{rosterFile + " line " + std::to_string(lineOf(index)) +
                                   ": the student's files would take the name " +
                                   std::filesystem::path(name).filename().string() +
                                   " of the files of line " + std::to_string(lineOf(found->second)),
                               "txt_roster"};
            }
        }
    }
    return std::nullopt;
}

std::vector<std::string> KeyFigureNamesOf(const ProgramState& state) {
    std::vector<std::string> names;
    if (!state.flags.dataGenerated) return names;
    const AnswerKey key = ComputeAnswerKey(
        state.generated.setup, ScoresAsWritten(state.generated.setup, state.tables.generatedData));
    for (const KeySection& section : key.sections) {
        for (const KeyFigure& figure : section.figures) names.push_back(figure.name);
    }
    return names;
}

Checked<std::string> ReadInstructionsFile(const std::string& path) {
    constexpr std::size_t kMaxInstructionsBytes = std::size_t{64} * 1024;
    try {
        return ReadWholeFile(path, kMaxInstructionsBytes, "instructions file");
    } catch (const FileError& failure) {
        return Refusal{failure.what(), "txt_instructions"};
    }
}

std::string HandoutsFileOf(const std::string& dataFile) {
    return HandoutsFileNameFor(dataFile);
}

std::string QuizFileOf(const std::string& dataFile) {
    return MoodleQuizFileNameFor(dataFile);
}

std::vector<std::string> FigureNamesOf(std::string_view list) {
    std::vector<std::string> names;
    std::string name;
    const auto finish = [&] {
        if (!name.empty()) names.push_back(name);
        name.clear();
    };
    for (const char c : list) {
        if (c == ',' || c == ' ' || c == ';' || c == '\t' || c == '\n') {
            finish();
        } else {
            name += c;
        }
    }
    finish();
    return names;
}

bool IsFolderName(std::string_view path) {
    return !path.empty() && (path.back() == '/' || platform::IsFolder(std::string(path)));
}

std::string DataFileNamed(std::string_view path) {
    return NotAFileToReplace(std::string(path)) ? std::string(path) : WithDefaultExtension(path);
}

std::string AbsolutePathOf(const std::string& path) {
    return platform::AbsolutePath(path);
}

Verdict CheckClassSetTargets(ClassSetRequest& request, const std::string& setupFile,
                             const std::string& shownDataFile) {
    // A name for one of the program's own descriptors (/dev/stdout) is written where that
    // descriptor leads, be it a pipe, a terminal or a file the shell opened.
    if (NotAFileToReplace(request.dataFile)) {
        if (request.count > 1) {
            return Refusal{"-o " + shownDataFile + " takes one dataset, not several", ""};
        }
        if (!request.roster.empty() || !request.handoutsFile.empty() || !request.quizFile.empty()) {
            return Refusal{"-o " + shownDataFile +
                               " takes the data alone: a roster, handouts and a quiz need "
                               "files of their own",
                           ""};
        }
        request.companions = false;
    }
    const std::vector<std::string> names = ClassSetFileNames(request);
    if (!request.quizFile.empty()) {
        for (std::size_t k = 0; k + 1 < names.size(); ++k) {
            if (names[k] == request.quizFile) {
                return Refusal{"--moodle " + request.quizFile + " is a file of the set itself", ""};
            }
        }
    }
    for (const std::string& name : names) {
        if (platform::SameFile(name, setupFile)) {
            return Refusal{"-o " + shownDataFile + " would write " + name +
                               " over the parameters file being read",
                           ""};
        }
    }
    return std::nullopt;
}

bool WritesToStandardOutput(const ClassSetRequest& request) {
    return platform::SystemFiles().OpenDescriptorNamed(request.dataFile) == 1;
}

std::string ClassKeyFileOf(const ClassSetRequest& request) {
    return ClassKeyFileNameFor(request.dataFile);
}

std::string FolderOfClassSet(const ClassSetRequest& request) {
    return std::filesystem::path(request.dataFile).parent_path().string();
}

std::string CreateFolderOfClassSet(const ClassSetRequest& request) {
    return platform::CreateFolders(FolderOfClassSet(request));
}

bool ClassSetFolderExists(const ClassSetRequest& request) {
    return platform::IsFolder(FolderOfClassSet(request));
}

std::vector<std::string> ExistingClassSetFiles(const ClassSetRequest& request) {
    std::vector<std::string> existing;
    for (const std::string& name : ClassSetFileNames(request)) {
        if (platform::NameTaken(name)) {
            existing.push_back(name);
        }
    }
    return existing;
}

std::string ReplaceClassSetQuestion(const ClassSetRequest& request,
                                    const std::vector<std::string>& existing) {
    std::string names;
    constexpr std::size_t kNamesShown = 4;
    for (std::size_t k = 0; k < existing.size() && k < kNamesShown; ++k) {
        names += (k == 0 ? "" : ", ") + std::filesystem::path(existing[k]).filename().string();
    }
    if (existing.size() > kNamesShown) names += ", ...";
    return std::to_string(existing.size()) +
           (existing.size() == 1 ? " file of this class set already exists"
                                 : " files of this class set already exist") +
           " in " + FolderOfClassSet(request) + " (" + names + "). Replace " +
           (existing.size() == 1 ? "it" : "them") + "?";
}

std::string ClassSetNamingHint(std::string_view fileName, int count) {
    const std::string name = WithDefaultExtension(fileName.empty() ? "class" : fileName);
    if (count <= 1) return "One dataset: " + name + ", with no class key.";
    const auto shortName = [](const std::string& path) {
        return std::filesystem::path(path).filename().string();
    };
    return "The files are numbered: " + shortName(NumberedFileName(name, 1, count)) + ", " +
           shortName(NumberedFileName(name, 2, count)) + ", ... " +
           shortName(NumberedFileName(name, count, count)) + ", and the class key is " +
           shortName(ClassKeyFileNameFor(name)) + ".";
}

std::string RosterNamingHint(std::string_view fileName) {
    const std::string name = WithDefaultExtension(fileName.empty() ? "class" : fileName);
    return "A dataset per student, named by their id (" +
           std::filesystem::path(StudentFileName(name, "s1234567")).filename().string() +
           " ...), with seeds in the roster's order; the class key " +
           std::filesystem::path(ClassKeyFileNameFor(name)).filename().string() +
           " lists ids and names.";
}

namespace {

// What every dataset of a set is made from: the window's texts, with each dataset's seed.
struct SetRecipe {
    const ClassSetRequest& request;
    ControlTexts windowTexts;
    EnabledCorrelationCells enabledCells;
    char decimalSeparator;

    // The Run command on dataset `index`'s seed in `state`; false when it refused.
    bool Generate(int index, ControlTexts& datasetTexts, ProgramState& state,
                  CommandHost& host) const {
        if (request.firstSeed) {
            datasetTexts.seed = std::to_string(SeedOf(request, index));
        }
        return RunCommand(datasetTexts, enabledCells, decimalSeparator, state, host) ==
               RunOutcome::Generated;
    }

    // Writes the dataset just generated in `state` as dataset `index`, with its key. The key
    // is computed from the scores the data file hands on once it is written: on a large run
    // on a thread of its own while the other files are written (also beside a set's workers,
    // whose files keep them waiting on the disk at times).
    MadeDataset Write(const SaveFolder& folder, int index, const ControlTexts& datasetTexts,
                      ProgramState& state) const {
        const GenerationSetup& run = state.generated.setup;
        MadeDataset made{{index, run.seed, DatasetFileName(request, index)}, std::nullopt};
        std::future<AnswerKey> pendingKey;
        std::optional<AnswerKey> key;
        ScoresWritten scoresWritten;
        std::function<const AnswerKey&()> answerKey;
        if (request.keys) {
            // One processor (WebAssembly has no other) computes the key when it is asked for.
            const bool large = WorthASecondThread(run) && platform::OtherProcessorsAllowed();
            // The save names its files in the run's record meanwhile; the key reads a copy.
            scoresWritten = [&pendingKey, large, keySetup = run](WrittenScores&& written) {
                pendingKey = std::async(large ? std::launch::async : std::launch::deferred,
                                        [keySetup, scores = std::move(written)] {
                                            return ComputeAnswerKey(keySetup, scores);
                                        });
            };
            answerKey = [&]() -> const AnswerKey& {
                // The data file, written first of the four, has started the key by now.
                assert(pendingKey.valid() || key);
                if (!key) key = pendingKey.get();
                return *key;
            };
        }
        WriteDataset(folder, state, datasetTexts, made.dataset.dataFile, scoresWritten, answerKey,
                     request.companions);
        if (answerKey) {
            answerKey();  // also when no key file was written (a device takes the data)
            const RosterStudent* student = StudentOf(request, index);
            made.keyRow = ClassKeyRow{index,
                                      run.seed,
                                      made.dataset.dataFile,
                                      std::move(*key),
                                      student ? student->id : std::string(),
                                      student ? student->name : std::string()};
        }
        return made;
    }
};

// Every dataset depends on its seed alone (seed 0 too, which restarts its streams like any
// other); without seeds of their own the datasets are made in order.
bool DatasetsAreIndependent(const ClassSetRequest& request) {
    return request.firstSeed.has_value();
}

// What stood under the set's names before it: the class key is set aside before any dataset
// is replaced, so that no key on disk ever lists a dataset it does not describe; once the new
// set has datasets on disk, the earlier set's files that the new one did not replace go too
// (the user agreed to replace that set), and with no new dataset the key comes back.
class EarlierSet {
  public:
    EarlierSet(const SaveFolder& folder, const ClassSetRequest& request)
        : folder_(folder), request_(request) {
        if (HasClassKey(request)) keyAside_ = folder.SetAside(ClassKeyFileOf(request));
    }

    /// With no new dataset on disk: the earlier key back in its place.
    void KeepAll() {
        if (keyAside_ && folder_.PutBack(*keyAside_, ClassKeyFileOf(request_))) {
            keyAside_.reset();
        }
    }

    /// The earlier files under the set's names that `written` did not replace, and the earlier
    /// key, go; how many earlier datasets were removed.
    int RemoveUnreplaced(const std::vector<WrittenDataset>& written) {
        std::vector<bool> replaced(static_cast<std::size_t>(request_.count) + 1, false);
        for (const WrittenDataset& dataset : written) {
            replaced[static_cast<std::size_t>(dataset.index)] = true;
        }
        int removed = 0;
        for (int index = 1; index <= request_.count; ++index) {
            if (replaced[static_cast<std::size_t>(index)]) continue;
            // An earlier set may have had keys where this one has none.
            bool any = false;
            for (const std::string& name :
                 DatasetFiles(DatasetFileName(request_, index), request_.companions, true)) {
                any |= folder_.Remove(name);
            }
            removed += any ? 1 : 0;
        }
        if (keyAside_ && folder_.Remove(*keyAside_)) keyAside_.reset();
        return removed;
    }

  private:
    const SaveFolder& folder_;
    const ClassSetRequest& request_;
    std::optional<std::string> keyAside_;
};

// The datasets of one class set, the first always on the caller's thread (it may show the
// Run command's messages and dialogs), the others there too or on worker threads; the class
// key's rows gather as they are taken back in order.
class ClassSetWriter {
  public:
    ClassSetWriter(MainWindowModel& window, ProgramState& state, CommandHost& host,
                   const ClassSetRequest& request)
        : window_(window),
          state_(state),
          host_(host),
          recipe_{request, window.Texts(), window.EnabledCells(), window.decimalSeparator()},
          texts_(recipe_.windowTexts) {}

    /// Generates dataset `index` in the program's state; false when the Run command refused
    /// the first, `DatasetRefused` for a later one. Only the first may ask or say anything:
    /// the later ones may be made on another thread than the window's.
    bool Generate(int index) {
        SilentHost silent;
        if (!recipe_.Generate(index, texts_, state_, index == 1 ? host_ : silent)) {
            if (index > 1) throw DatasetRefused(RefusalOf(index, texts_, silent));
            return false;
        }
        if (index == 1) {
            // A percentage accepted in its dialog shows in the window, as after a run, and
            // every later dataset takes it.
            window_.SetMissingText(texts_.missing);
            window_.SetExtremeText(texts_.extreme);
            recipe_.windowTexts = texts_;
        }
        return true;
    }

    /// From now on the datasets are written in `folder`.
    void WriteIn(const SaveFolder& folder) { folder_ = &folder; }

    /// Writes the dataset just generated on the caller's thread as dataset `index`.
    WrittenDataset Write(int index) { return Keep(recipe_.Write(*folder_, index, texts_, state_)); }

    /// Datasets `first` on, on `threads` threads.
    std::unique_ptr<DatasetWorkers> StartWorkers(int first, int threads) {
        return std::make_unique<DatasetWorkers>(
            state_, first, recipe_.request.count, threads,
            [this](ProgramState& state, CommandHost&, int index) {
                ControlTexts texts = recipe_.windowTexts;
                SilentHost silent;
                if (!recipe_.Generate(index, texts, state, silent)) {
                    throw DatasetRefused(RefusalOf(index, texts, silent));
                }
                return recipe_.Write(*folder_, index, texts, state);
            });
    }

    /// Takes a dataset a worker made.
    WrittenDataset Keep(MadeDataset made) {
        if (made.keyRow) rows_.push_back(std::move(*made.keyRow));
        return made.dataset;
    }

    /// What is left of the earlier set goes, the class key of the datasets written is
    /// written, and the next set starts after the last seed. Save then leaves the set's last
    /// run alone.
    void Finish(EarlierSet& earlier, ClassSetResult& result) {
        // The program's last run was the set's, saved under its own names.
        state_.flags.savedByClassSet = true;
        if (!result.datasets.empty()) {
            const std::int64_t next = std::int64_t{result.datasets.back().seed} + 1;
            if (next <= kLargestSeed) state_.nextClassSetSeed = static_cast<std::int32_t>(next);
        }
        if (result.datasets.empty()) {
            earlier.KeepAll();
            return;
        }
        result.earlierRemoved = earlier.RemoveUnreplaced(result.datasets);
        WriteClassFiles(*folder_, recipe_.request, state_.generated.setup, result.datasets, rows_);
    }

    /// As `Finish`, after `failure`: the file that failed is named first, and a class key that
    /// cannot be written either is said after it.
    /// Within the handler of `failure`, which it throws on.
    [[noreturn]] void FinishAfter(const std::exception& failure, EarlierSet& earlier,
                                  ClassSetResult& result) {
        try {
            Finish(earlier, result);
        } catch (const FileError& keyFailure) {
            const auto* fileFailure = dynamic_cast<const FileError*>(&failure);
            const bool key = keyFailure.path() == ClassKeyFileOf(recipe_.request);
            throw FileError(
                fileFailure ? fileFailure->path() : keyFailure.path(),
                std::string(failure.what()) +
                    (key ? "\nThe class key could not be written either: "
                         : "\nThe handouts and the quiz could not be written either: ") +
                    keyFailure.what());
        }
        throw;
    }

  private:
    MainWindowModel& window_;
    ProgramState& state_;
    CommandHost& host_;
    SetRecipe recipe_;
    ControlTexts texts_;
    const SaveFolder* folder_ = nullptr;
    std::vector<ClassKeyRow> rows_;
};

// Takes the datasets after the first back from the workers in order, reporting each; on a
// stop or a failure, those the workers finished meanwhile are on disk and join the result.
void TakeFromWorkers(ClassSetWriter& writer, DatasetWorkers& workers, int count,
                     const ClassSetProgress& progress, ClassSetResult& result) {
    std::exception_ptr failure;
    try {
        for (int index = 2; index <= count; ++index) {
            result.datasets.push_back(writer.Keep(workers.Next()));
            if (!progress.written(result.datasets.back()) && index < count) {
                result.outcome = ClassSetOutcome::Cancelled;
                break;
            }
        }
    } catch (...) {
        failure = std::current_exception();
    }
    std::exception_ptr laterFailure;
    for (MadeDataset& made : workers.StopAndCollect(laterFailure)) {
        result.datasets.push_back(writer.Keep(std::move(made)));
    }
    // A stop that came after the last dataset was under way stopped nothing.
    if (result.datasets.size() == static_cast<std::size_t>(count)) {
        result.outcome = ClassSetOutcome::Written;
    }
    if (!failure) failure = laterFailure;
    if (failure) std::rethrow_exception(failure);
}

// The datasets after the first: on worker threads, or one after another.
void WriteLaterDatasets(ClassSetWriter& writer, const ClassSetRequest& request,
                        const ClassSetProgress& progress, ClassSetResult& result) {
    if (const int threads = DatasetWorkers::ThreadsFor(request.threads, request.count - 1);
        threads > 1 && DatasetsAreIndependent(request)) {
        const std::unique_ptr<DatasetWorkers> workers = writer.StartWorkers(2, threads);
        TakeFromWorkers(writer, *workers, request.count, progress, result);
        return;
    }
    for (int index = 2; index <= request.count; ++index) {
        writer.Generate(index);
        result.datasets.push_back(writer.Write(index));
        if (!progress.written(result.datasets.back()) && index < request.count) {
            result.outcome = ClassSetOutcome::Cancelled;
            return;
        }
    }
}

bool DrawsShapes(const GenerationSetup& setup) {
    for (const BoxParameters& box : setup.boxes) {
        if (box.active && box.distribution == DistributionKind::RandomlyChosen) return true;
    }
    return false;
}

}  // namespace

bool EveryDatasetPasses(const ClassSetRequest& request, const GenerationSetup& checked,
                        CommandHost& host) {
    if (!request.firstSeed || !DrawsShapes(checked)) return true;
    GenerationSetup setup = checked;
    for (int index = 2; index <= request.count; ++index) {
        setup.seed = SeedOf(request, index);
        if (const std::optional<GenerationRefusal> refusal = RefusalBeforeScores(setup)) {
            std::string help;
            for (const std::string& line : refusal->help) help += line + '\n';
            host.ShowMessageWithDetails(
                "Dataset " + std::to_string(index) + " of the class set (seed " +
                    std::to_string(setup.seed) +
                    ") cannot be made, so none is written: " + refusal->message,
                help);
            return false;
        }
    }
    return true;
}

namespace {

// Whether the handouts and the quiz asked for can be made of the first dataset's run (every
// later one has the same columns and key figures); says why not when they cannot.
bool ClassFilesCanBeMade(const ClassSetRequest& request, const ProgramState& state,
                         CommandHost& host) {
    if (!request.handoutsFile.empty()) {
        // Numbered datasets are named in plain letters; a roster's names are the teacher's.
        Handouts handouts = HandoutsOf(request, state.generated.setup, {});
        for (const RosterStudent& student : request.roster) {
            handouts.students.push_back({student.id, student.name, ""});
        }
        if (const Verdict refusal = CheckHandoutText(handouts)) {
            host.ShowMessage(refusal->message + ". Nothing was written.");
            return false;
        }
    }
    if (!request.quizFile.empty() && !request.quizFigures.empty()) {
        const std::vector<std::string> names = KeyFigureNamesOf(state);
        for (const std::string& asked : request.quizFigures) {
            if (std::find(names.begin(), names.end(), asked) == names.end()) {
                std::string known;
                for (const std::string& name : names) known += (known.empty() ? "" : ", ") + name;
                host.ShowMessage("The key of this design has no figure " + asked +
                                 " for the quiz to ask; its figures are " + known +
                                 ". Nothing was written.");
                return false;
            }
        }
    }
    return true;
}

}  // namespace

struct ClassSetRun::Parts {
    Parts(MainWindowModel& window, ProgramState& state, CommandHost& host,
          const ClassSetRequest& asked)
        : request(asked), writer(window, state, host, request) {}

    ClassSetRequest request;
    ClassSetWriter writer;
    ClassSetResult result;
};

ClassSetRun::ClassSetRun(MainWindowModel& window, ProgramState& state, CommandHost& host,
                         const ClassSetRequest& request) {
    if (request.firstSeed && !SeedsFit(*request.firstSeed, request.count)) {
        host.ShowMessage(SeedsRefusal(*request.firstSeed, request.count));
        return;
    }
    auto parts = std::make_unique<Parts>(window, state, host, request);
    // The first run shows the Run command's messages; the later ones differ only in their
    // seed, and in the shapes their seed draws for randomly chosen boxes, which every one is
    // checked for before anything is written.
    if (parts->writer.Generate(1) && EveryDatasetPasses(request, state.setup, host) &&
        ClassFilesCanBeMade(request, state, host)) {
        parts_ = std::move(parts);
    }
}

ClassSetRun::~ClassSetRun() = default;

ClassSetResult ClassSetRun::Write(const ClassSetProgress& progress) {
    assert(parts_);
    const ClassSetRequest& request = parts_->request;
    ClassSetWriter& writer = parts_->writer;
    ClassSetResult& result = parts_->result;
    // Nothing is written while another program writes this set.
    const SaveFolder folder(request.dataFile, *request.files);
    EarlierSet earlier(folder, request);
    writer.WriteIn(folder);
    progress.started();
    try {
        result.datasets.push_back(writer.Write(1));
        if (!progress.written(result.datasets.back()) && request.count > 1) {
            result.outcome = ClassSetOutcome::Cancelled;
        } else {
            WriteLaterDatasets(writer, request, progress, result);
        }
    } catch (const FileError& failure) {
        writer.FinishAfter(failure, earlier, result);
    } catch (const DatasetRefused& refusal) {
        writer.FinishAfter(refusal, earlier, result);
    }
    writer.Finish(earlier, result);
    return result;
}

const ClassSetResult& ClassSetRun::soFar() const {
    static const ClassSetResult nothing;
    return parts_ ? parts_->result : nothing;
}

ClassSetResult GenerateClassSet(MainWindowModel& window, ProgramState& state, CommandHost& host,
                                const ClassSetRequest& request, const ClassSetProgress& progress) {
    ClassSetRun run(window, state, host, request);
    if (run.refused()) {
        ClassSetResult refused;
        refused.outcome = ClassSetOutcome::Refused;
        return refused;
    }
    return run.Write(progress);
}

}  // namespace zek
