// The files of checked-in setups, compared byte for byte with the files they gave when they
// were made. The order of the draws is the product's promise: a teacher who types seed 1804
// next year must get this year's file. A changed expected file is a changed product, and the
// commit that changes it says why; never regenerate one to make this test pass.
//
// Each folder under tests/golden holds `input.TXT` (a parameters file), `options` (the
// options parameters files do not store) and the expected `data.csv`, `data_info.TXT` and
// `data_setup.TXT`. The report's path line reads "<data file>" there.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "cli/generate_options.h"
#include "commands/main_window_model.h"
#include "commands/run_command.h"
#include "commands/save_command.h"
#include "files/parameters_file.h"
#include "files/text_file.h"
#include "support/process.h"
#include "support/recording_host.h"
#include "support/text_files.h"

namespace zek {
namespace {

namespace fs = std::filesystem;
using testing::Contents;

const fs::path kGoldenFolder = ZEK_GOLDEN_DIR;
constexpr const char* kOutputNames[] = {"data.csv", "data_info.TXT", "data_setup.TXT"};

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGoldenFolder)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string OptionsOf(const std::string& name) {
    std::string options = Contents(kGoldenFolder / name / "options");
    while (!options.empty() && (options.back() == '\n' || options.back() == '\r')) {
        options.pop_back();
    }
    return options;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::string WithPathPlaceholder(std::string report, const std::string& dataPath) {
    const std::size_t at = report.find("  " + dataPath + "\r\n");
    if (at != std::string::npos) report.replace(at + 2, dataPath.size(), "<data file>");
    return report;
}

class GoldenTest : public ::testing::TestWithParam<std::string> {
  protected:
    void ExpectTheGoldenFiles() const {
        const fs::path expected = kGoldenFolder / GetParam();
        for (const char* name : kOutputNames) {
            SCOPED_TRACE(name);
            std::string actual = Contents(folder / name);
            if (std::string(name) == "data_info.TXT") {
                actual = WithPathPlaceholder(actual, (folder / "data.csv").string());
            }
            const std::string wanted = Contents(expected / name);
            ASSERT_FALSE(wanted.empty());
            EXPECT_TRUE(actual == wanted) << "differs from " << (expected / name).string();
        }
    }

    void ExpectTheGoldenKey() const {
        std::string key = Contents(folder / "data_key.TXT");
        const std::string dataFileLine = "Data file: " + (folder / "data.csv").string();
        if (const std::size_t at = key.find(dataFileLine); at != std::string::npos) {
            key.replace(at, dataFileLine.size(), "Data file: <data file>");
        }
        EXPECT_TRUE(key == Contents(kGoldenFolder / GetParam() / "data_key.TXT"))
            << "the answer key differs from " << GetParam() << "/data_key.TXT";
    }

    testing::TemporaryFolder temporary;
    const fs::path& folder = temporary.path();
};

// The window's way: the file replayed onto fresh controls, the Run command, the save.
TEST_P(GoldenTest, TheCoreWritesTheExpectedFiles) {
    ParametersFileReading reading;
    ReadTextFile((kGoldenFolder / GetParam() / "input.TXT").string(),
                 [&](std::istream& in) { reading = ReadParametersFile(in); });
    ASSERT_EQ(reading.outcome, ParametersFileReading::Outcome::Complete);
    ASSERT_FALSE(CheckDesignOf(reading).has_value());

    std::vector<std::string> words = Words(OptionsOf(GetParam()));
    words.insert(words.begin(), "input.TXT");
    std::vector<const char*> arguments;
    for (const std::string& word : words) arguments.push_back(word.c_str());
    const auto parsed = ParseGenerateOptions(static_cast<int>(arguments.size()), arguments.data());
    ASSERT_TRUE(parsed);
    const GenerateOptions& options = *parsed;

    auto state = std::make_unique<ProgramState>();
    testing::RecordingHost host;
    MainWindowModel window(*state, host, '.');
    window.ApplyParametersFile(reading);
    if (options.reliability) state->setup.reliability = *options.reliability;
    // The options menu's ticks, as the window's user sets them.
    if (options.repeated && !window.repeatedMeasures()) window.ToggleRepeatedMeasures();
    if (options.longLayout && !window.longLayout()) window.ToggleLongLayout();
    if (options.betaLow) {
        state->setup.betaLow = *options.betaLow;
        state->setup.betaHigh = *options.betaHigh;
    }
    state->reportFooterLines = AboutIdentificationLines();
    ASSERT_EQ(RunCommand(window, *state, host), RunOutcome::Generated);
    host.saveAnswers = {(folder / "data.csv").string()};
    SaveDataFiles(*state, host);
    SaveParametersFile(window.Texts(), *state, host);
    EXPECT_TRUE(host.messages.empty());
    ExpectTheGoldenFiles();
}

// A file the program wrote itself, opened in a fresh window and saved again, is the same file.
TEST_P(GoldenTest, ItsParametersFileReopensToTheSameBytes) {
    const fs::path saved = kGoldenFolder / GetParam() / "data_setup.TXT";
    ParametersFileReading reading;
    ReadTextFile(saved.string(), [&](std::istream& in) { reading = ReadParametersFile(in); });
    auto state = std::make_unique<ProgramState>();
    testing::RecordingHost host;
    MainWindowModel window(*state, host, '.');
    window.ApplyParametersFile(reading);
    std::ostringstream again;
    WriteParametersFile(again, ParametersFileContentsOf(window.Texts()));
    EXPECT_TRUE(again.str() == Contents(saved));
    EXPECT_TRUE(host.messages.empty());
}

TEST_P(GoldenTest, ZekGenerateWritesTheExpectedFiles) {
    fs::copy_file(kGoldenFolder / GetParam() / "input.TXT", folder / "input.TXT");
    const testing::ProcessResult result = testing::RunInFolder(
        folder, ZEK_GENERATE_PATH, "input.TXT -o data.csv " + OptionsOf(GetParam()));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ExpectTheGoldenFiles();
    ExpectTheGoldenKey();
}

// A class set made on several threads writes the bytes of one made one after another.
TEST_P(GoldenTest, AClassSetOnSeveralThreadsIsTheSameBytesAsOneAfterAnother) {
    fs::copy_file(kGoldenFolder / GetParam() / "input.TXT", folder / "input.TXT");
    std::map<std::string, std::string> serial;
    for (const char* threads : {"1", "3"}) {
        SCOPED_TRACE(threads);
        const testing::ProcessResult result =
            testing::RunInFolder(folder, ZEK_GENERATE_PATH,
                                 "input.TXT -o set.csv --count 5 --seed 1804 --threads " +
                                     std::string(threads) + " " + OptionsOf(GetParam()));
        ASSERT_EQ(result.exitCode, 0) << result.err;
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("set", 0) != 0) continue;
            files[name] = Contents(entry.path());
        }
        EXPECT_EQ(files.size(), 21u);
        if (serial.empty()) {
            serial = std::move(files);
            for (const auto& [name, contents] : serial) fs::remove(folder / name);
        } else {
            EXPECT_TRUE(files == serial);
        }
    }
}

// The C library picks its functions by processor (FMA, AVX or SSE2 code). The streams take
// none of them, and what the statistics take from them must not reach a written byte, or a
// seed would give other files on another machine.
TEST_P(GoldenTest, EveryVariantOfTheLibrarysLogGivesTheSameFiles) {
    fs::copy_file(kGoldenFolder / GetParam() / "input.TXT", folder / "input.TXT");
    for (const char* hardware : {"-FMA,-AVX2", "-FMA,-AVX2,-AVX"}) {
        SCOPED_TRACE(hardware);
        const testing::ProcessResult result = testing::RunInFolder(
            folder, ZEK_GENERATE_PATH, "input.TXT -o data.csv " + OptionsOf(GetParam()),
            std::string("GLIBC_TUNABLES=glibc.cpu.hwcaps=") + hardware);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(testing::Contents(folder / "data.csv") ==
                    testing::Contents(kGoldenFolder / GetParam() / "data.csv"));
        ExpectTheGoldenKey();
    }
}

INSTANTIATE_TEST_SUITE_P(Setups, GoldenTest, ::testing::ValuesIn(CaseNames()),
                         [](const auto& caseInfo) { return "case" + caseInfo.param; });

}  // namespace
}  // namespace zek
