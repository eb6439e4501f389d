#include "files/file_names.h"

namespace zek {

namespace {

// Where the name part of a path starts (after the last folder separator).
std::size_t NameStart(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? 0 : slash + 1;
}

// The path without its name part's extension (from the name's last "." on).
std::string_view WithoutExtension(std::string_view path) {
    const std::size_t nameStart = NameStart(path);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart) return path;
    return path.substr(0, dot);
}

}  // namespace

// Dropping only the data file's own extension keeps my.data.csv's information file from
// being named my.TXT, which its parameters file would then overwrite.
std::string CompanionFileName(std::string_view dataFilePath, std::string_view suffix) {
    return std::string(WithoutExtension(dataFilePath)) + std::string(suffix);
}

std::string InformationFileNameFor(std::string_view dataFilePath) {
    return CompanionFileName(dataFilePath, "_info.TXT");
}

std::string ParametersFileNameFor(std::string_view dataFilePath) {
    return CompanionFileName(dataFilePath, "_setup.TXT");
}

std::string NumberedFileName(std::string_view path, int index, int count) {
    const std::string_view stem = WithoutExtension(path);
    std::string number = std::to_string(index);
    const std::size_t width = std::to_string(count).size();
    if (number.size() < width) number.insert(0, width - number.size(), '0');
    return std::string(stem) + "_" + number + std::string(path.substr(stem.size()));
}

std::string CaseFolded(std::string name) {
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

std::string StudentFileName(std::string_view path, std::string_view id) {
    const std::string_view stem = WithoutExtension(path);
    return std::string(stem) + "_" + std::string(id) + std::string(path.substr(stem.size()));
}

std::string WithDefaultExtension(std::string_view path) {
    if (WithoutExtension(path).size() != path.size()) return std::string(path);
    return std::string(path) + ".TXT";
}

}  // namespace zek
