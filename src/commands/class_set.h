// A dataset for every student: the setup of the window generated again and again with
// consecutive seeds, each dataset saved as a normal save saves it (data, information and
// parameters files) with its answer key, and one class key listing every dataset written.
// The window's "Generate Class Set..." and `zek-generate --count` both run this, so they write
// the same bytes.
//
// A class set leaves the window as it found it: its seed box keeps the seed the teacher typed,
// and the save dialog keeps offering the last file that Save wrote. The next set's first seed
// follows the last set's last one, so that two sets never share a dataset.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands/command_host.h"
#include "commands/main_window_model.h"
#include "commands/program_state.h"
#include "files/moodle_quiz.h"  // the quiz's digits
#include "files/roster_file.h"
#include "files/text_file.h"
#include "platform/files.h"
#include "platform/stop_requests.h"  // Ctrl+C stops a set between datasets
#include "setup/refusal.h"

namespace zek {

inline constexpr int kMaxClassSetCount = 100000;

struct ClassSetRequest {
    int count = 1;
    /// The first dataset's seed, the others following it; without one every dataset takes
    /// the window's seed (which suits a single dataset).
    std::optional<std::int32_t> firstSeed;
    /// The data file's full path; with more than one dataset each is numbered
    /// (class.csv gives class_01.csv ..).
    std::string dataFile;
    bool keys = true;
    /// The information and parameters files (and keys) beside each data file; a data file
    /// that is a device or a pipe stands alone.
    bool companions = true;
    /// How many datasets are made at once: 0 for two per core, 1 for one after another. The
    /// files are the same bytes either way.
    int threads = 0;
    /// The system calls the files go through; tests give one that fails a chosen call.
    const platform::FileSystem* files = &platform::SystemFiles();

    /// A dataset per student of a roster, in its order (`count` is their number): dataset k
    /// is the k-th student's, its files named by the student's id (class_s1234567.csv), its
    /// seed the first seed + k - 1 as without a roster. Set with `UseRoster`.
    std::vector<RosterStudent> roster;
    /// The students' handouts as one PDF; none where empty. `instructions` are the teacher's.
    std::string handoutsFile;
    std::string instructions;
    /// The set as a Moodle quiz; none where empty. It asks the key figures named in
    /// `quizFigures` (every one where empty), to `quizDigits` significant digits.
    std::string quizFile;
    std::vector<std::string> quizFigures;
    int quizDigits = 3;
};

/// Whether the set writes a quiz: one is asked for, and the keys whose figures it asks.
bool WritesQuiz(const ClassSetRequest& request);

/// Makes the request's datasets the students of `roster`.
void UseRoster(ClassSetRequest& request, std::vector<RosterStudent> roster);

/// Refuses a roster whose students' files would take one another's names or the set's own
/// (an id "key" beside the class key), naming the student's line of `rosterFile`.
Verdict CheckRosterFileNames(const ClassSetRequest& request, const std::string& rosterFile);

/// The names of the key figures of the program's last run, which a quiz can ask; none before
/// a run. Every dataset of a set from the same setup has the same figures.
std::vector<std::string> KeyFigureNamesOf(const ProgramState& state);

/// The teacher's instructions from a text file, or why it cannot be read.
Checked<std::string> ReadInstructionsFile(const std::string& path);

/// The handouts' and the quiz's files of a set whose data file is `dataFile`.
std::string HandoutsFileOf(const std::string& dataFile);
std::string QuizFileOf(const std::string& dataFile);

/// Figure names of a list typed by the teacher ("student_t, student_p"), in its order.
std::vector<std::string> FigureNamesOf(std::string_view list);

/// What the class-set dialog holds, as typed.
struct ClassSetForm {
    int students = 30;
    std::string firstSeed;
    std::string folder;
    std::string fileName;
    /// The roster file; none where empty (then `students` datasets, numbered).
    std::string roster;
    bool handouts = false;
    std::string instructions;
    bool quiz = false;
    std::vector<std::string> quizFigures;
    int quizDigits = 3;
};

/// The request of a filled-in class-set dialog, or its refusal.
Checked<ClassSetRequest> ReadClassSetForm(const ClassSetForm& form);

/// The seed the class-set dialog offers: the window's seed box the first time, and after a set
/// the seed after its last dataset's.
std::string OfferedFirstSeed(const ProgramState& state, const MainWindowModel& window);

/// The data file of dataset `index` (from 1) of the set.
std::string DatasetFileName(const ClassSetRequest& request, int index);

/// Every file the set writes: per dataset its data, information and parameters files and its
/// answer key, then the class key, the handouts and the quiz.
std::vector<std::string> ClassSetFileNames(const ClassSetRequest& request);

/// Those of `ClassSetFileNames` that exist already, so that the window can ask first.
std::vector<std::string> ExistingClassSetFiles(const ClassSetRequest& request);

/// Whether `path` names a folder: it ends in a separator or a folder stands under it.
bool IsFolderName(std::string_view path);

/// The data file a user names: a device, a pipe, or a name for one of the program's own
/// descriptors (/dev/stdout, whatever the shell connected it to) as it is named; any other
/// name with the default extension when it has none.
std::string DataFileNamed(std::string_view path);

/// `path` made absolute against the current folder, "." and ".." resolved.
std::string AbsolutePathOf(const std::string& path);

/// Where the files of a request made without a window would go wrong before anything is
/// written: several datasets into one device or pipe, or a file over the parameters file
/// `setupFile` being read; `shownDataFile` is the data file as the user named it. A data file
/// that is a device or pipe takes the data alone, without the other files.
Verdict CheckClassSetTargets(ClassSetRequest& request, const std::string& setupFile,
                             const std::string& shownDataFile);

/// Whether the request's data file is this program's standard output.
bool WritesToStandardOutput(const ClassSetRequest& request);

/// The name of the set's class key.
std::string ClassKeyFileOf(const ClassSetRequest& request);

/// The folder the set's files go to, as the user would read it.
std::string FolderOfClassSet(const ClassSetRequest& request);
/// Creates the set's folder with every folder above it that is missing (none when it
/// exists); the system's reason when it cannot, else empty.
std::string CreateFolderOfClassSet(const ClassSetRequest& request);
/// Whether the set's folder exists.
bool ClassSetFolderExists(const ClassSetRequest& request);

/// The question the window asks before replacing `existing` files of the set.
std::string ReplaceClassSetQuestion(const ClassSetRequest& request,
                                    const std::vector<std::string>& existing);

/// How the files of a set named `fileName` of `count` datasets will be named, for the dialog.
std::string ClassSetNamingHint(std::string_view fileName, int count);
/// As `ClassSetNamingHint`, for a set made from a roster.
std::string RosterNamingHint(std::string_view fileName);

struct WrittenDataset {
    int index = 0;  ///< from 1
    std::int32_t seed = 0;
    std::string dataFile;
};

enum class ClassSetOutcome {
    Written,    ///< every dataset was written
    Refused,    ///< the setup was refused with the Run command's messages; nothing written
    Cancelled,  ///< stopped after the datasets listed
};

struct ClassSetResult {
    ClassSetOutcome outcome = ClassSetOutcome::Written;
    std::vector<WrittenDataset> datasets;
    /// Datasets of an earlier set under the set's names that a stopped or failed set did not
    /// replace and so removed, so that no dataset stands beside a key that does not list it.
    int earlierRemoved = 0;
};

/// What the caller hears while the set is written.
struct ClassSetProgress {
    /// The setup passed every check of the Run command; the files are about to be written.
    std::function<void()> started = [] {};
    /// A dataset's files are complete; false stops the set.
    std::function<bool(const WrittenDataset&)> written = [](const WrittenDataset&) { return true; };
};

/// Whether the later datasets of `request` pass where the first passed with the setup it
/// read (`checked`): the shapes that randomly chosen boxes draw at their seeds must reach the
/// asked correlations. Says which dataset fails, and why, when one does.
bool EveryDatasetPasses(const ClassSetRequest& request, const GenerationSetup& checked,
                        CommandHost& host);

/// A class set in two steps, for a window that writes it on a thread of its own: the first
/// dataset is generated when the run is made, on the caller's thread, where the Run command
/// may show its messages and dialogs; then `Write` writes every dataset on any one thread,
/// while no other touches the window model or the program state.
/// A dataset after the first that the Run command refused. The checks before the set rule
/// that out, so it ends the set as a failed file does: the datasets before it stand, with a
/// key that lists them, and the message names the dataset, its seed and the refusal.
class DatasetRefused : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class ClassSetRun {
  public:
    ClassSetRun(MainWindowModel& window, ProgramState& state, CommandHost& host,
                const ClassSetRequest& request);
    ~ClassSetRun();
    ClassSetRun(const ClassSetRun&) = delete;
    ClassSetRun& operator=(const ClassSetRun&) = delete;

    /// The setup was refused with the Run command's messages; nothing will be written.
    bool refused() const { return !parts_; }
    /// As `GenerateClassSet` once the setup has passed; only when not refused, and once.
    ClassSetResult Write(const ClassSetProgress& progress);
    /// The datasets written and the earlier ones removed, also after `Write` threw.
    const ClassSetResult& soFar() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

/// Writes the class set. A refused setup writes nothing at all, and neither does a set that
/// another program is writing at the same moment. Each dataset's four files replace earlier
/// ones together or not at all. The earlier class key is set aside before the first dataset
/// is replaced. Throws `FileError` when a file cannot be written, naming it; the complete
/// datasets written until then stay, the earlier set's other datasets go, and the class key
/// (written last, also on a stop or a failure) lists exactly the datasets on disk. A set that
/// wrote no dataset leaves the earlier set as it was.
ClassSetResult GenerateClassSet(MainWindowModel& window, ProgramState& state, CommandHost& host,
                                const ClassSetRequest& request, const ClassSetProgress& progress);

}  // namespace zek
