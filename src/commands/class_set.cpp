#include "commands/class_set.h"

#include <filesystem>
#include <limits>

#include "commands/option_dialogs.h"
#include "commands/run_command.h"
#include "commands/save_command.h"
#include "files/answer_key_file.h"
#include "files/data_file.h"
#include "files/file_names.h"
#include "files/parameters_file.h"
#include "files/text_file.h"

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

void WriteClassKeyOf(const ClassSetRequest& request, const std::vector<ClassKeyRow>& rows) {
    if (!request.keys || !request.companions || request.count <= 1) return;
    WriteTextFile(ClassKeyFileNameFor(request.dataFile),
                  [&](std::ostream& out) { WriteClassKey(out, rows); });
}

// The four files of one dataset, written together so that a failure leaves no dataset half
// replaced. The run's record names its data file, as a save by hand would.
void WriteDataset(ProgramState& state, const ControlTexts& texts, const std::string& dataFile,
                  const AnswerKey* key, bool companions) {
    std::vector<PendingFile> files = DataAndReportFiles(state, dataFile);
    if (!companions) {
        files.resize(1);
    } else {
        files.push_back({ParametersFileNameFor(dataFile), [&](std::ostream& out) {
                             WriteParametersFile(out, ParametersFileContentsOf(texts));
                         }});
        if (key != nullptr) {
            files.push_back({KeyFileNameFor(dataFile), [&](std::ostream& out) {
                                 WriteAnswerKeyText(out, *key, dataFile, state.generatedSetup.seed);
                             }});
        }
    }
    WriteTextFilesTogether(files);
}

}  // namespace

Checked<ClassSetRequest> ReadClassSetForm(const ClassSetForm& form) {
    const std::optional<std::int32_t> firstSeed = ParseSeed(form.firstSeed);
    if (!firstSeed) return Refusal{kSeedMessage, "txt_firstseed"};
    if (!SeedsFit(*firstSeed, form.students)) {
        return Refusal{SeedsRefusal(*firstSeed, form.students), "txt_firstseed"};
    }
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::absolute(form.folder, ignored);
    ClassSetRequest request;
    request.count = form.students;
    request.firstSeed = *firstSeed;
    request.dataFile = WithDefaultExtension((folder / form.fileName).lexically_normal().string());
    return request;
}

std::string OfferedFirstSeed(const ProgramState& state, const MainWindowModel& window) {
    if (state.nextClassSetSeed) return std::to_string(*state.nextClassSetSeed);
    return window.seed();
}

std::string DatasetFileName(const ClassSetRequest& request, int index) {
    return request.count > 1 ? NumberedFileName(request.dataFile, index, request.count)
                             : request.dataFile;
}

std::vector<std::string> ClassSetFileNames(const ClassSetRequest& request) {
    std::vector<std::string> names;
    for (int index = 1; index <= request.count; ++index) {
        const std::string dataFile = DatasetFileName(request, index);
        names.push_back(dataFile);
        if (!request.companions) continue;
        names.push_back(InformationFileNameFor(dataFile));
        names.push_back(ParametersFileNameFor(dataFile));
        if (request.keys) names.push_back(KeyFileNameFor(dataFile));
    }
    if (request.keys && request.companions && request.count > 1) {
        names.push_back(ClassKeyFileNameFor(request.dataFile));
    }
    return names;
}

std::vector<std::string> ExistingClassSetFiles(const ClassSetRequest& request) {
    std::vector<std::string> existing;
    for (const std::string& name : ClassSetFileNames(request)) {
        std::error_code ignored;
        if (std::filesystem::exists(std::filesystem::symlink_status(name, ignored))) {
            existing.push_back(name);
        }
    }
    return existing;
}

std::string ReplaceClassSetQuestion(const ClassSetRequest& request,
                                    const std::vector<std::string>& existing) {
    const std::filesystem::path folder = std::filesystem::path(request.dataFile).parent_path();
    std::string names;
    constexpr std::size_t kNamesShown = 4;
    for (std::size_t k = 0; k < existing.size() && k < kNamesShown; ++k) {
        names += (k == 0 ? "" : ", ") + std::filesystem::path(existing[k]).filename().string();
    }
    if (existing.size() > kNamesShown) names += ", ...";
    return std::to_string(existing.size()) +
           (existing.size() == 1 ? " file of this class set already exists"
                                 : " files of this class set already exist") +
           " in " + folder.string() + " (" + names + "). Replace " +
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

namespace {

// The datasets of one class set, written one after another from one copy of the window's
// texts; the class key's rows gather as they are written.
class ClassSetWriter {
  public:
    ClassSetWriter(MainWindowModel& window, ProgramState& state, CommandHost& host,
                   const ClassSetRequest& request)
        : window_(window),
          state_(state),
          host_(host),
          request_(request),
          texts_(window.Texts()),
          enabledCells_(window.EnabledCells()) {}

    /// Generates dataset `index`; false when the Run command refused the setup.
    bool Generate(int index) {
        if (request_.firstSeed) texts_.seed = std::to_string(*request_.firstSeed + index - 1);
        if (RunCommand(texts_, enabledCells_, window_.decimalSeparator(), state_, host_) !=
            RunOutcome::Generated) {
            return false;
        }
        if (index == 1) {
            // A percentage accepted in its dialog shows in the window, as after a run.
            window_.SetMissingText(texts_.missing);
            window_.SetExtremeText(texts_.extreme);
        }
        return true;
    }

    /// Writes the dataset just generated as dataset `index`, with its key.
    WrittenDataset Write(int index) {
        const GenerationSetup& run = state_.generatedSetup;
        const WrittenDataset dataset{index, run.seed, DatasetFileName(request_, index)};
        std::optional<AnswerKey> key;
        if (request_.keys) {
            key = ComputeAnswerKey(run, ScoresAsWritten(run, state_.tables.generatedData));
        }
        WriteDataset(state_, texts_, dataset.dataFile, key ? &*key : nullptr, request_.companions);
        if (key) rows_.push_back({index, dataset.seed, dataset.dataFile, std::move(*key)});
        return dataset;
    }

    /// The class key of the datasets written, and the seed the next set starts from.
    void Finish(const std::vector<WrittenDataset>& written) {
        if (!written.empty()) {
            const std::int64_t next = std::int64_t{written.back().seed} + 1;
            if (next <= kLargestSeed) state_.nextClassSetSeed = static_cast<std::int32_t>(next);
        }
        WriteClassKeyOf(request_, rows_);
    }

    /// As `Finish`, after `failure`: the file that failed is named first, and a class key that
    /// cannot be written either is said after it.
    [[noreturn]] void FinishAfter(const FileError& failure,
                                  const std::vector<WrittenDataset>& written) {
        try {
            Finish(written);
        } catch (const FileError& keyFailure) {
            throw FileError(failure.path(), std::string(failure.what()) +
                                                "\nThe class key could not be written either: " +
                                                keyFailure.what());
        }
        throw failure;
    }

  private:
    MainWindowModel& window_;
    ProgramState& state_;
    CommandHost& host_;
    const ClassSetRequest& request_;
    ControlTexts texts_;
    const EnabledCorrelationCells enabledCells_;
    std::vector<ClassKeyRow> rows_;
};

}  // namespace

ClassSetResult GenerateClassSet(MainWindowModel& window, ProgramState& state, CommandHost& host,
                                const ClassSetRequest& request, const ClassSetProgress& progress) {
    ClassSetResult result;
    if (request.firstSeed && !SeedsFit(*request.firstSeed, request.count)) {
        host.ShowMessage(SeedsRefusal(*request.firstSeed, request.count));
        result.outcome = ClassSetOutcome::Refused;
        return result;
    }
    ClassSetWriter writer(window, state, host, request);
    try {
        for (int index = 1; index <= request.count; ++index) {
            // The first run shows the Run command's messages; the later ones differ only in
            // their seed, so they pass as the first did.
            if (!writer.Generate(index)) {
                result.outcome = ClassSetOutcome::Refused;
                return result;
            }
            if (index == 1) progress.started();
            const WrittenDataset dataset = writer.Write(index);
            result.datasets.push_back(dataset);
            if (!progress.written(dataset) && index < request.count) {
                result.outcome = ClassSetOutcome::Cancelled;
                break;
            }
        }
    } catch (const FileError& failure) {
        writer.FinishAfter(failure, result.datasets);
    }
    writer.Finish(result.datasets);
    return result;
}

}  // namespace zek
