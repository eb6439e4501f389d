// Running a program of ours as a teacher would, from a shell in a folder.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/text_files.h"

namespace zek::testing {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

/// Runs `program arguments` in `folder` under the "C" locale, with `environment` ("NAME=value
/// ...") besides, and collects what it printed.
inline ProcessResult RunInFolder(const std::filesystem::path& folder, const std::string& program,
                                 const std::string& arguments,
                                 const std::string& environment = "") {
    const std::string command = "cd '" + folder.string() + "' && LC_ALL=C " + environment + " '" +
                                program + "' " + arguments + " > stdout.log 2> stderr.log";
    const int status = std::system(command.c_str());
    ProcessResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = Contents(folder / "stdout.log");
    result.err = Contents(folder / "stderr.log");
    std::filesystem::remove(folder / "stdout.log");
    std::filesystem::remove(folder / "stderr.log");
    return result;
}

}  // namespace zek::testing
