#include "output/output_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>

namespace zek {

FileError::FileError(std::string path, const std::string& message)
    : std::runtime_error(message), path_(std::move(path)) {}

std::string LastSystemError() {
    const int error = errno;
    return error != 0 ? std::strerror(error) : std::strerror(EIO);
}

void WriteChecked(std::ostream& out, std::string_view text) {
    errno = 0;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) throw StreamError(LastSystemError());
}

void LineWriter::Flush() {
    WriteChecked(out_, buffer_);
    buffer_.clear();
}

void WriteTextFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw FileError(path, "Cannot create file \"" + path + "\": " + LastSystemError());
    }
    try {
        write(out);
        errno = 0;
        out.flush();
        if (!out) throw StreamError(LastSystemError());
        out.close();
        if (out.fail()) throw StreamError(LastSystemError());
    } catch (const StreamError& error) {
        throw FileError(path, "Cannot write file \"" + path + "\": " + error.what());
    }
}

std::vector<std::string> ReadLines(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    errno = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        line.clear();
    }
    if (in.bad()) throw StreamError(LastSystemError());
    return lines;
}

void ReadTextFile(const std::string& path, const std::function<void(std::istream&)>& read) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError(path, "Cannot open file \"" + path + "\": " + LastSystemError());
    try {
        read(in);
    } catch (const StreamError& error) {
        throw FileError(path, "Cannot read file \"" + path + "\": " + error.what());
    }
}

}  // namespace zek
