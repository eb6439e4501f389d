// zek-generate: the Generate and Save commands of ZEK without a window, for a teacher who
// wants many datasets from one setup on a machine with no display.
//
// The parameters file is replayed onto the window model of a freshly started window, as the
// window's Open command replays it; then the very Run command of the window validates and
// generates, and the Save command's writers write the files.

#include <clocale>
#include <cstdint>
#include <iostream>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "cli/generate_options.h"
#include "commands/class_set.h"
#include "commands/design_presentation.h"
#include "commands/help_texts.h"
#include "commands/main_window_model.h"
#include "commands/open_command.h"
#include "commands/option_dialogs.h"
#include "commands/run_command.h"
#include "commands/save_command.h"

namespace {

constexpr int kExitWritten = 0;
constexpr int kExitWriteFailed = 1;
constexpr int kExitRefused = 2;
// As a shell reports a program that a signal ended: 130 after Ctrl+C, 143 after SIGTERM.
constexpr int kExitSignalled = 128;

char UserDecimalSeparator() {
    // Only the separator is wanted; the process itself stays in the "C" locale.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    std::setlocale(LC_NUMERIC, "");
    const std::lconv* conventions = std::localeconv();
    const char separator = conventions != nullptr && conventions->decimal_point != nullptr &&
                                   conventions->decimal_point[0] != '\0'
                               ? conventions->decimal_point[0]
                               : '.';
    std::setlocale(LC_NUMERIC, saved.c_str());
    return separator;
}

// Messages go to standard error; there is no dialog to loop on, so a refused percentage
// stops the run, and the file chooser always answers with the data file of this dataset.
class CommandLineHost final : public zek::CommandHost {
  public:
    void ShowMessage(std::string_view text) override {
        std::cerr << "zek-generate: " << text << '\n';
    }
    /// Help below a message goes on the lines after it, indented.
    void ShowMessageWithDetails(std::string_view text, std::string_view details) override {
        ShowMessage(text);
        std::string_view rest = details;
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            std::cerr << "  " << rest.substr(0, end) << '\n';
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        }
    }
    /// A refusal names the line of the parameters file that holds the refused text.
    void Refuse(std::string_view message, std::string_view place, std::string_view) override {
        std::optional<std::string> where;
        if (reading_ != nullptr) where = zek::PlaceInParametersFile(*reading_, place);
        std::cerr << "zek-generate: " << (where ? *where + ": " : std::string()) << message << '\n';
    }
    void Focus(std::string_view) override {}
    std::optional<std::string> AskPercentage(zek::PercentageKind, std::string_view) override {
        return std::nullopt;
    }
    std::int32_t ClockRandomBelow(std::int32_t bound) override {
        std::uniform_int_distribution<std::int32_t> draw(0, bound - 1);
        return draw(clockRandom_);
    }
    // Each dataset's file is given by the class set; there is no dialog to answer.
    std::optional<std::string> ChooseSaveFile(std::string_view, zek::SaveKind) override {
        return std::nullopt;
    }

    void SetReading(const zek::ParametersFileReading* reading) { reading_ = reading; }

  private:
    std::mt19937 clockRandom_{std::random_device{}()};
    const zek::ParametersFileReading* reading_ = nullptr;
};

// Several datasets take consecutive seeds from the one given or stored; an empty seed box
// draws the first of them, as a run would.
zek::Checked<zek::ClassSetRequest> RequestOf(const zek::GenerateOptions& options,
                                             const zek::MainWindowModel& window,
                                             CommandLineHost& host) {
    zek::ClassSetRequest request;
    request.count = options.count;
    request.threads = options.threads;
    request.keys = options.keys;
    request.dataFile = zek::AbsolutePathOf(options.dataFile);
    if (options.seed) {
        request.firstSeed = *options.seed;
    } else if (options.count > 1 || !options.rosterFile.empty()) {
        if (window.seed().empty()) {
            request.firstSeed = host.ClockRandomBelow(zek::kEmptySeedBoxBound);
        } else if (const auto stored = zek::ParseSeed(window.seed())) {
            request.firstSeed = *stored;
        }
    }
    if (!options.rosterFile.empty()) {
        zek::Checked<std::vector<zek::RosterStudent>> roster =
            zek::ReadRosterFile(options.rosterFile);
        if (!roster) return roster.refusal();
        zek::UseRoster(request, std::move(*roster));
        if (zek::Verdict clash = zek::CheckRosterFileNames(request, options.rosterFile)) {
            return *clash;
        }
    }
    if (!options.instructionsFile.empty()) {
        zek::Checked<std::string> instructions =
            zek::ReadInstructionsFile(options.instructionsFile);
        if (!instructions) return instructions.refusal();
        request.instructions = *instructions;
    }
    if (options.handouts) request.handoutsFile = zek::HandoutsFileOf(request.dataFile);
    if (!options.quizFile.empty()) request.quizFile = zek::AbsolutePathOf(options.quizFile);
    request.quizFigures = options.quizFigures;
    request.quizDigits = options.quizDigits;
    return request;
}

// What the user hears after a stop: how many datasets were written.
void SayStopped(const zek::platform::StopRequests& stop, const zek::ClassSetRequest& request,
                const zek::ClassSetResult& result, CommandLineHost& host) {
    std::string text = "stopped by " + zek::platform::StopRequests::NameOf(stop.received()) + ": " +
                       std::to_string(result.datasets.size()) + " of " +
                       std::to_string(request.count) + " datasets written";
    if (result.earlierRemoved > 0) {
        text += ", " + std::to_string(result.earlierRemoved) + " of the earlier set's removed";
    }
    if (request.keys && request.companions && request.count > 1 && !result.datasets.empty()) {
        text += "; the class key " + zek::ClassKeyFileOf(request) + " lists those written";
    }
    host.ShowMessage(text);
}

// The command line's options over the file's: an option the file has stays on.
void ApplyOptions(const zek::GenerateOptions& options, const zek::ParametersFileReading& reading,
                  zek::GenerationSetup& setup, CommandLineHost& host) {
    if (options.reliability) setup.reliability = *options.reliability;
    // --exact, or a file saved with exact statistics on.
    setup.exactStatistics = options.exact || reading.exactStatistics;
    setup.repeatedMeasures = options.repeated || reading.repeatedMeasures;
    setup.scaleItems = options.scale || reading.scaleItems;
    setup.scaleScore = options.scaleScore.value_or(reading.scaleScore);
    setup.longLayout = options.longLayout || reading.longLayout;
    // The long layout is one of occasions.
    if (options.longLayout && !zek::TakesRepeatedMeasures(setup)) {
        host.ShowMessage(
            "--long writes a row per case and occasion only with --repeated and a "
            "design whose variables can be occasions; the data file keeps a row "
            "per case");
    }
    if (options.betaLow) {
        setup.betaLow = *options.betaLow;
        setup.betaHigh = *options.betaHigh;
    }
}

int Generate(const zek::GenerateOptions& options, char separator,
             const zek::platform::StopRequests& stop) {
    CommandLineHost host;
    const zek::Checked<zek::ParametersFileReading> reading =
        zek::ReadWholeParametersFile(options.setupFile);
    if (!reading) {
        host.ShowMessage(reading.refusal().message);
        return kExitRefused;
    }
    host.SetReading(&*reading);
    // The file fills the controls of a fresh window, with every reaction a window would run.
    auto state = std::make_unique<zek::ProgramState>();
    zek::MainWindowModel window(*state, host, separator);
    window.ApplyParametersFile(*reading);
    ApplyOptions(options, *reading, state->setup, host);
    state->reportFooterLines = zek::AboutIdentificationLines();

    zek::Checked<zek::ClassSetRequest> requested = RequestOf(options, window, host);
    if (!requested) {
        host.ShowMessage(requested.refusal().message);
        return kExitRefused;
    }
    zek::ClassSetRequest& request = *requested;
    if (const zek::Verdict verdict =
            zek::CheckClassSetTargets(request, options.setupFile, options.dataFile)) {
        host.ShowMessage(verdict->message);
        return kExitRefused;
    }
    zek::ClassSetProgress progress;
    // Data written to standard output leaves it to the data alone.
    std::ostream& said = zek::WritesToStandardOutput(request) ? std::cerr : std::cout;
    progress.written = [&stop, &said](const zek::WrittenDataset& dataset) {
        said << "seed " << dataset.seed << ": " << dataset.dataFile << '\n';
        return stop.received() == 0;
    };
    try {
        const zek::ClassSetResult result =
            zek::GenerateClassSet(window, *state, host, request, progress);
        if (result.outcome == zek::ClassSetOutcome::Refused) return kExitRefused;
        if (stop.received() != 0) {
            SayStopped(stop, request, result, host);
            return kExitSignalled + stop.received();
        }
    } catch (const zek::FileError& error) {
        host.ShowMessage(error.what());
        return kExitWriteFailed;
    } catch (const zek::DatasetRefused& refusal) {
        host.ShowMessage(refusal.what());
        return kExitRefused;
    }
    return kExitWritten;
}

int Run(int argc, char** argv) {
    const char separator = UserDecimalSeparator();
    const zek::Checked<zek::GenerateOptions> parsed = zek::ParseGenerateOptions(argc - 1, argv + 1);
    if (!parsed) {
        std::cerr << "zek-generate: " << parsed.refusal().message << '\n';
        return kExitRefused;
    }
    const zek::GenerateOptions& options = *parsed;
    if (options.help) {
        std::cout << zek::GenerateHelpText();
        return kExitWritten;
    }
    if (options.listDesigns) {
        std::cout << zek::DesignListText();
        return kExitWritten;
    }
    if (options.version) {
        std::cout << "zek-generate " << zek::kVersion << '\n';
        return kExitWritten;
    }
    // Before the first thread starts, so that every thread leaves the signals to the watcher.
    const zek::platform::StopRequests stop;
    return Generate(options, separator, stop);
}

}  // namespace

// Whatever goes wrong beyond the files (memory, the system) ends the run with a message and a
// failure status, never with an abort.
int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "zek-generate: " << error.what() << '\n';
        return kExitWriteFailed;
    }
}
