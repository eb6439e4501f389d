// Reading back what a test wrote.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>  // getpid

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/text_file.h"

namespace zek::testing {

/// The lines of a text whose every line must end with CR LF.
inline std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a line without CR LF";
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

inline std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void Put(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

/// One file of a save that writes `text`.
inline PendingFile Writing(const std::filesystem::path& path, const std::string& text) {
    return {path.string(), [text](std::ostream& out) { WriteChecked(out, text); }};
}

/// The names of the files in `folder`, hidden temporary files included, sorted.
inline std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

/// A fresh folder of the running test's own, removed with everything in it at the end.
class TemporaryFolder {
  public:
    /// `suffix` tells apart several folders of one test.
    explicit TemporaryFolder(const std::string& suffix = "")
        : path_(std::filesystem::temp_directory_path() /
                ("zek_" + std::to_string(::getpid()) + "_" + RunningTestsName() + suffix)) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    // A parameterised test is named "Name/3": taken as it is, the slash would make the folder
    // a child of one that is never removed.
    static std::string RunningTestsName() {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        return name;
    }

    std::filesystem::path path_;
};

}  // namespace zek::testing
