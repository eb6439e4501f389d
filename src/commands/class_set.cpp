#include "commands/class_set.h"

#include <limits>

#include "commands/run_command.h"
#include "commands/save_command.h"
#include "files/answer_key.h"
#include "files/file_names.h"
#include "files/text_file.h"

namespace zek {

namespace {

// Answers the save dialog with the dataset's own file and passes everything else on.
class DatasetHost final : public CommandHost {
  public:
    explicit DatasetHost(CommandHost& host) : host_(host) {}
    void SetDataFile(std::string path) { dataFile_ = std::move(path); }

    void ShowMessage(std::string_view text) override { host_.ShowMessage(text); }
    void ShowMessageWithDetails(std::string_view text, std::string_view details) override {
        host_.ShowMessageWithDetails(text, details);
    }
    void Refuse(std::string_view message, std::string_view place, std::string_view focus) override {
        host_.Refuse(message, place, focus);
    }
    void Focus(std::string_view controlName) override { host_.Focus(controlName); }
    std::int32_t ClockRandomBelow(std::int32_t bound) override {
        return host_.ClockRandomBelow(bound);
    }
    std::optional<std::string> AskPercentage(PercentageKind kind, std::string_view text) override {
        return host_.AskPercentage(kind, text);
    }
    std::optional<std::string> ChooseSaveFile(std::string_view) override { return dataFile_; }

  private:
    CommandHost& host_;
    std::string dataFile_;
};

void WriteClassKeyOf(const ClassSetRequest& request, const std::vector<ClassKeyRow>& rows) {
    if (!request.keys || request.count <= 1) return;
    WriteTextFile(ClassKeyFileNameFor(request.dataFile),
                  [&](std::ostream& out) { WriteClassKey(out, rows); });
}

}  // namespace

ClassSetResult GenerateClassSet(MainWindowModel& window, ProgramState& state, CommandHost& host,
                                const ClassSetRequest& request,
                                const std::function<bool(const WrittenDataset&)>& written) {
    ClassSetResult result;
    if (request.firstSeed &&
        *request.firstSeed + request.count - 1 > std::numeric_limits<std::int32_t>::max()) {
        host.ShowMessage("Seed must be an INTEGER value: the seeds of " +
                         std::to_string(request.count) + " datasets from " +
                         std::to_string(*request.firstSeed) + " go past 2147483647");
        result.outcome = ClassSetOutcome::Refused;
        return result;
    }
    DatasetHost datasetHost(host);
    std::vector<ClassKeyRow> rows;
    try {
        for (int index = 1; index <= request.count; ++index) {
            if (request.firstSeed) {
                window.SetSeedText(std::to_string(*request.firstSeed + index - 1));
            }
            const std::string dataFile =
                request.count > 1 ? NumberedFileName(request.dataFile, index, request.count)
                                  : request.dataFile;
            datasetHost.SetDataFile(dataFile);
            // The first run shows the Run command's messages; the later ones differ only in
            // their seed, so they pass as the first did.
            if (RunCommand(window, state, datasetHost) != RunOutcome::Generated) {
                result.outcome = ClassSetOutcome::Refused;
                break;
            }
            SaveDataFiles(state, datasetHost);
            SaveParametersFile(window.Texts(), state, datasetHost);
            const WrittenDataset dataset{index, state.generatedSetup.seed, dataFile};
            if (request.keys) {
                AnswerKey key = ComputeAnswerKey(state.generatedSetup, state.tables.generatedData);
                WriteTextFile(KeyFileNameFor(dataFile), [&](std::ostream& out) {
                    WriteAnswerKeyText(out, key, dataFile, dataset.seed);
                });
                rows.push_back({index, dataset.seed, dataFile, std::move(key)});
            }
            result.datasets.push_back(dataset);
            if (!written(dataset) && index < request.count) {
                result.outcome = ClassSetOutcome::Cancelled;
                break;
            }
        }
    } catch (const FileError&) {
        WriteClassKeyOf(request, rows);
        throw;
    }
    WriteClassKeyOf(request, rows);
    return result;
}

}  // namespace zek
