// A parameters file as text in memory, written from control texts or read back.
#pragma once

#include <sstream>
#include <string>

#include "commands/control_texts.h"
#include "files/parameters_file.h"

namespace zek::testing {

inline std::string Written(const ControlTexts& texts) {
    std::ostringstream out;
    WriteParametersFile(out, ParametersFileContentsOf(texts));
    return out.str();
}

inline ParametersFileReading Read(const std::string& text) {
    std::istringstream in(text);
    return ReadParametersFile(in);
}

}  // namespace zek::testing
