// Every design through the whole core: run, data file, report, and a parameters file that
// brings the same data back.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "commands/main_window_model.h"
#include "commands/run_command.h"
#include "commands/uniform_box.h"
#include "files/data_file.h"
#include "files/information_file.h"
#include "files/parameters_file.h"
#include "stats/actual_statistics.h"
#include "support/recording_host.h"
#include "support/text_files.h"

namespace zek {
namespace {

// A setup that uses every shape, limits, missing and extreme values and correlations.
ControlTexts BusyControls(const DesignInfo& design) {
    ControlTexts controls;
    controls.design = design.kind;
    controls.title = std::string(design.radioButton);
    controls.missing = "10";
    controls.extreme = "5";
    const DistributionKind shapes[] = {DistributionKind::Normal, DistributionKind::SkewPos,
                                       DistributionKind::SkewNeg, DistributionKind::Uniform,
                                       DistributionKind::RandomlyChosen};
    for (int box = 1; box <= kBoxCount; ++box) {
        BoxTexts& texts = controls.Box(box);
        texts.n = std::to_string(5 + box);
        texts.decimals = std::to_string(box % 4);
        texts.shape = shapes[box % 5];
        if (texts.shape == DistributionKind::Uniform) {
            // As the window leaves a Uniform box: limits ticked, mean and SD derived.
            texts.minChecked = texts.maxChecked = true;
            texts.minText = "-5";
            texts.maxText = "5";
            const auto moments = DeriveUniformMoments(texts.minText, texts.maxText, '.');
            texts.mean = moments->meanText;
            texts.sd = moments->sdText;
        } else if (box % 2 == 0) {
            texts.minChecked = true;
            texts.minText = "-1.5";
        }
    }
    if (design.binaryOutcome) controls.Box(1).mean = "30";  // the percentage of 1s
    for (int c = 0; c < design.nCopyCount; ++c) {
        controls.Box(design.nCopies[c].targetBox).n = controls.Box(design.nCopies[c].sourceBox).n;
    }
    for (int i = 1; i <= kMaxVariables; ++i) {
        for (int j = i + 1; j <= kMaxVariables; ++j) {
            if (CorrelationCellEnabled(design, i, j)) {
                controls.correlations[CorrelationCellIndex(i, j)] = "0.2";
            }
        }
    }
    return controls;
}

std::string DataFileOf(const ProgramState& state) {
    std::ostringstream out;
    WriteDataFile(out, state.generated.setup, state.tables.generatedData);
    return out.str();
}

std::string ParametersFileOf(const ControlTexts& controls) {
    std::ostringstream out;
    WriteParametersFile(out, ParametersFileContentsOf(controls));
    return out.str();
}

class EveryDesignTest : public ::testing::TestWithParam<int> {
  protected:
    std::unique_ptr<ProgramState> Generated(ControlTexts& controls) {
        auto state = std::make_unique<ProgramState>();
        ApplyDesign(Design(controls.design), state->setup);
        testing::RecordingHost host;
        const RunOutcome outcome =
            RunCommand(controls, EnabledCellsOf(Design(controls.design)), '.', *state, host);
        EXPECT_EQ(outcome, RunOutcome::Generated);
        EXPECT_TRUE(host.messages.empty()) << host.messages.front();
        return state;
    }
};

TEST_P(EveryDesignTest, RunsWritesAndComesBackFromItsParametersFile) {
    const DesignInfo& design = DesignCatalogue()[GetParam()];
    SCOPED_TRACE(std::string(design.radioButton));
    ControlTexts controls = BusyControls(design);
    const auto state = Generated(controls);

    const std::vector<std::string> lines = testing::SplitCrLf(DataFileOf(*state));
    ASSERT_EQ(static_cast<int>(lines.size()), state->setup.totalCases + 1);
    const auto fields = [](const std::string& line) {
        return std::count(line.begin(), line.end(), ',');
    };
    for (std::size_t row = 1; row < lines.size(); ++row) {
        ASSERT_EQ(fields(lines[row]), fields(lines[0])) << lines[row];
        ASSERT_EQ(lines[row].substr(0, lines[row].find(',')), std::to_string(row));
    }

    std::ostringstream report;
    ActualStatistics statistics;
    ComputeActualStatistics(state->generated.setup, state->tables.generatedData, statistics);
    WriteInformationFile(report, state->generated, statistics, AboutIdentificationLines());
    int boxRows = 0;
    for (const std::string& line : testing::SplitCrLf(report.str())) {
        if (line.rfind("Variable", 0) == 0 || line.rfind("Outcome", 0) == 0 ||
            line.rfind("Predictor", 0) == 0) {
            ++boxRows;
        }
    }
    EXPECT_EQ(boxRows, 2 * design.boxCount) << "one parameter row and one actual row per box";
    for (int box = 1; box <= kBoxCount; ++box) {
        if (design.activeBoxes.Contains(box)) {
            EXPECT_GT(statistics.actualN[box - 1], 0) << box;
        }
    }

    // Saved and opened in a fresh window, the setup gives the same bytes.
    const std::string saved = ParametersFileOf(controls);
    std::istringstream in(saved);
    const ParametersFileReading reading = ReadParametersFile(in);
    auto fresh = std::make_unique<ProgramState>();
    testing::RecordingHost host;
    MainWindowModel window(*fresh, host, '.');
    window.ApplyParametersFile(reading);
    ControlTexts reopened = window.Texts();
    EXPECT_EQ(ParametersFileOf(reopened), saved);
    const auto again = Generated(reopened);
    EXPECT_EQ(DataFileOf(*again), DataFileOf(*state));
}

INSTANTIATE_TEST_SUITE_P(AllDesigns, EveryDesignTest, ::testing::Range(0, kDesignCount),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return std::string(DesignCatalogue()[param.param].radioButton);
                         });

}  // namespace
}  // namespace zek
