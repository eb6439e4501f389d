#include "commands/data_viewer_text.h"

#include <filesystem>
#include <istream>

#include "files/text_file.h"

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

}  // namespace

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

void AppendViewerLines(DataViewMode mode, const std::string& dataFileName,
                       const std::string& infoFileName, std::vector<std::string>& lines) {
    if (mode != DataViewMode::DataOnly) {
        const std::filesystem::path folder = std::filesystem::path(dataFileName).parent_path();
        const std::string path = (folder / std::filesystem::path(infoFileName).filename()).string();
        lines.push_back(kTildes);
        lines.push_back("CONTENTS OF INFORMATION FILE NAMED: ");
        lines.push_back(path);
        lines.push_back(kTildes);
        AppendFileLines(path, lines, true);
        lines.emplace_back();
        lines.emplace_back();
    }
    if (mode == DataViewMode::Both) {
        lines.push_back(kHashes);
        lines.push_back(kHashes);
    }
    if (mode != DataViewMode::InformationOnly) {
        lines.push_back(kTildes);
        lines.push_back("CONTENTS OF DATA FILE NAMED: ");
        lines.push_back(dataFileName);
        lines.push_back(kTildes);
        lines.emplace_back();
        AppendFileLines(dataFileName, lines, false);
    }
}

}  // namespace zek
