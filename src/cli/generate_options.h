// The command line of `zek-generate`.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/option_dialogs.h"

namespace zek {

struct GenerateOptions {
    std::string setupFile;
    std::string dataFile = "ZEK_data.TXT";
    int count = 1;
    /// Datasets of a class set made at once; 0 for two per core.
    int threads = 0;
    std::optional<std::int32_t> seed;
    std::optional<double> reliability;
    std::optional<std::int32_t> betaLow;
    std::optional<std::int32_t> betaHigh;
    /// Each dataset's answer key, and the class key of several.
    bool keys = true;
    /// Exact sample statistics.
    bool exact = false;
    /// The variables as occasions: the key adds the repeated-measures ANOVA.
    bool repeated = false;
    bool scale = false;
    /// With `scale`, a column of each case's sum or mean of the items; none when not given.
    std::optional<ScaleScore> scaleScore;
    /// With `repeated`, a row per case and occasion.
    bool longLayout = false;
    /// A dataset per student of this roster (CSV), instead of `count` numbered ones.
    std::string rosterFile;
    /// The students' handouts, one PDF beside the class key.
    bool handouts = false;
    /// A text file of the teacher's instructions, for the handouts and the quiz.
    std::string instructionsFile;
    /// The Moodle quiz file; none where empty.
    std::string quizFile;
    /// The key figures the quiz asks; every one where empty.
    std::vector<std::string> quizFigures;
    int quizDigits = 3;
    bool help = false;
    bool version = false;
    bool listDesigns = false;
};

/// Reads the arguments after the program name. Numbers follow the one rule of the window; the
/// reliability takes "." or "," as its decimal separator, as parameters files do, so that a
/// command line in a course's handout works in every locale. The reliability and Beta
/// parameters are checked with the rules and messages of their dialogs.
Checked<GenerateOptions> ParseGenerateOptions(int argc, const char* const* argv);

/// The text of --help.
const char* GenerateHelpText();

}  // namespace zek
