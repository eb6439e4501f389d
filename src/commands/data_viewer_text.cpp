#include "commands/data_viewer_text.h"

#include <filesystem>
#include <istream>
#include <limits>
#include <sstream>

#include "files/data_file.h"
#include "files/package_files.h"
#include "files/text_file.h"
#include "setup/scale_score.h"

namespace zek {

namespace {

const std::string kTildes(63, '~');
const std::string kHashes(63, '#');

// A line is read before the end of the file is tested, so a file with nothing (left) to read
// still adds one empty line.
void AppendFileLines(const std::string& path, std::vector<std::string>& lines, bool dropFirstLine) {
    ReadTextFile(path, [&](std::istream& in) {
        const std::vector<std::string> read = ReadLines(in);
        auto first = read.begin();
        if (dropFirstLine && first != read.end()) ++first;
        if (first == read.end()) {
            lines.emplace_back();
        } else {
            lines.insert(lines.end(), first, read.end());
        }
    });
}

// A package file is shown from the run it was saved from, which the tables hold until the
// next run.
void CheckSavedRunIsInMemory(const ProgramState& state) {
    if (!state.flags.filesSaved) {
        const std::string& path = state.setup.dataFileName;
        throw FileError(path, "Cannot show file \"" + path +
                                  "\": its data are no longer those of the last run; save "
                                  "again to view them");
    }
}

}  // namespace

std::vector<std::string> SavedDataLines(const ProgramState& state) {
    const std::string& path = state.setup.dataFileName;
    std::vector<std::string> lines;
    if (DataFormatOf(path) == DataFormat::Text) {
        AppendFileLines(path, lines, false);
        return lines;
    }
    CheckSavedRunIsInMemory(state);
    std::ostringstream text;
    WriteDataFile(text, state.generated.setup, state.tables.generatedData, {}, state.runThreads);
    std::istringstream in(text.str());
    return ReadLines(in);
}

std::vector<std::vector<double>> SavedDataScores(const ProgramState& state) {
    const std::string& path = state.setup.dataFileName;
    const GenerationSetup& run = state.generated.setup;
    if (DataFormatOf(path) == DataFormat::Text) {
        const int columnsAfter = ScaleScoreColumn::Of(run) ? 1 : 0;
        return ReadDataFileScores(path, run.variableCount, WritesLongLayout(run), columnsAfter);
    }
    CheckSavedRunIsInMemory(state);
    std::vector<std::vector<double>> rows;
    for (const auto& block : ScoresAsWritten(run, state.tables.generatedData)) {
        const std::size_t count = block.empty() ? 0 : block.front().size();
        for (std::size_t row = 0; row < count; ++row) {
            std::vector<double>& scores = rows.emplace_back();
            for (const std::vector<double>& column : block) scores.push_back(column[row]);
        }
    }
    return rows;
}

DataViewCaptions CaptionsOf(DataViewMode mode) {
    switch (mode) {
        case DataViewMode::Both:
            return {"View Information Only", "View Data Only",
                    "Generation Information and Generated Data"};
        case DataViewMode::InformationOnly:
            return {"View Information & Data ", "View Data Only", "Generation Information"};
        case DataViewMode::DataOnly:
            return {"View Information Only", "View Information & Data", "Generated Data"};
    }
    return {"", "", ""};
}

DataViewMode AfterInformationButton(DataViewMode mode) {
    return mode == DataViewMode::InformationOnly ? DataViewMode::Both
                                                 : DataViewMode::InformationOnly;
}

DataViewMode AfterDataButton(DataViewMode mode) {
    return mode == DataViewMode::DataOnly ? DataViewMode::Both : DataViewMode::DataOnly;
}

void AppendInformationPart(const ProgramState& state, std::vector<std::string>& lines) {
    const std::string& dataFileName = state.setup.dataFileName;
    const std::filesystem::path folder = std::filesystem::path(dataFileName).parent_path();
    const std::string path =
        (folder / std::filesystem::path(state.setup.infoFileName).filename()).string();
    lines.push_back(kTildes);
    lines.push_back("CONTENTS OF INFORMATION FILE NAMED: ");
    lines.push_back(path);
    lines.push_back(kTildes);
    AppendFileLines(path, lines, true);
    lines.emplace_back();
    lines.emplace_back();
}

void AppendDataPart(const ProgramState& state, std::vector<std::string>& lines) {
    lines.push_back(kTildes);
    lines.push_back("CONTENTS OF DATA FILE NAMED: ");
    lines.push_back(state.setup.dataFileName);
    lines.push_back(kTildes);
    lines.emplace_back();
    const std::vector<std::string> data = SavedDataLines(state);
    lines.insert(lines.end(), data.begin(), data.end());
}

const std::string& PartSeparatorLine() {
    return kHashes;
}

void AppendViewerLines(DataViewMode mode, const ProgramState& state,
                       std::vector<std::string>& lines) {
    if (mode != DataViewMode::DataOnly) AppendInformationPart(state, lines);
    if (mode == DataViewMode::Both) {
        lines.push_back(kHashes);
        lines.push_back(kHashes);
    }
    if (mode != DataViewMode::InformationOnly) AppendDataPart(state, lines);
}

ScorePlots PlotsOfSavedData(const ProgramState& state) {
    return ComputeScorePlots(state.generated, SavedDataScores(state));
}

}  // namespace zek
