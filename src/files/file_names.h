// Names of the files that stand beside a data file.
#pragma once

#include <string>
#include <string_view>

namespace zek {

/// A file beside a data file: its own extension dropped and `suffix` appended.
std::string CompanionFileName(std::string_view dataFilePath, std::string_view suffix);

/// The information file of a data file: its own extension dropped, "_info.TXT" appended, in
/// the data file's folder. scores.csv gives scores_info.TXT, my.data.csv my.data_info.TXT.
std::string InformationFileNameFor(std::string_view dataFilePath);

/// The parameters file written beside a data file: scores.csv gives scores_setup.TXT.
std::string ParametersFileNameFor(std::string_view dataFilePath);

/// The data file of dataset `index` of `count`: the number, zero-padded to the width of
/// `count`, between stem and extension; class.csv gives class_01.csv .. class_12.csv.
std::string NumberedFileName(std::string_view path, int index, int count);

/// `name` as file systems that ignore case compare it (Windows, macOS): ASCII letters lower.
std::string CaseFolded(std::string name);

/// "class.csv" and a student's id "s1234567" give "class_s1234567.csv".
std::string StudentFileName(std::string_view path, std::string_view id);

/// A file name with ".TXT" appended when its name part has no extension, as the save dialog
/// does with its default extension.
std::string WithDefaultExtension(std::string_view path);

}  // namespace zek
