#include "cli/generate_options.h"

#include <optional>
#include <string_view>

#include "commands/class_set.h"
#include "commands/option_dialogs.h"

namespace zek {

namespace {

constexpr const char* kGenerateHelp =
    R"(Usage: zek-generate SETUP.TXT [-o DATAFILE] [--count K] [--threads T] [--seed N]
                    [--reliability R] [--beta LOW HIGH] [--exact] [--repeated [--long]]
                    [--scale [--scale-score sum|mean]] [--no-key]
                    [--roster STUDENTS.csv] [--handouts] [--instructions TEXTFILE]
                    [--moodle QUIZ.xml [--quiz-figures NAMES] [--quiz-digits D]]

Generates simulated sample data from a ZEK generation parameters file, without a window,
and writes the three files that Generate and Save write in ZEK: the comma-delimited data
file, its information file (requested beside actual statistics, DATAFILE without its
extension + "_info.TXT") and its parameters file (+ "_setup.TXT"), and the answer key of
what students will compute from the data as written (+ "_key.TXT"): N, mean and SD of every
group, cell or variable and the tests the design calls for. The same file and seed always
give the same bytes.

Options:
  -o DATAFILE        the data file; default ZEK_data.TXT in the current folder. ".TXT" is
                     added to a name without extension. A device or a pipe (/dev/stdout)
                     takes the data file alone, without the other files. The extension
                     picks the format: .sav SPSS, .dta Stata, .xlsx Excel (with a sheet
                     "information"), anything else comma-delimited text; the other files
                     stay text.
                       zek-generate setup.TXT -o scores.csv
                       zek-generate setup.TXT -o scores.sav
  --count K          writes K datasets (1 to 100000), one per student, with seeds N, N+1,
                     ..., N+K-1, named DATAFILE's stem + _1, _2, ... (zero-padded to the
                     width of K), and the class key DATAFILE's stem + "_key.csv" with one row
                     of answers per dataset.
                       zek-generate setup.TXT -o class.csv --count 30    (class_01.csv ...)
                     Files of the same names are replaced without asking, each dataset's
                     files together; a refused setup replaces nothing. Files of an earlier,
                     larger set under other numbers stay, and the class key lists only the
                     datasets of this set.
  --roster STUDENTS.csv
                     a dataset per student of a roster: a CSV file (comma or semicolon)
                     whose header names an id column (id, student id, id number, student
                     number or username) and may name a name column (name, or first name
                     and last name). Student k's files are named by the id (class.csv and
                     s1234567 give class_s1234567.csv), with the seed N + k - 1, and the
                     class key gains the columns id and name. Ids take letters, digits, -,
                     _ and . only, and must differ also in case.
                       zek-generate setup.TXT -o exam.csv --roster students.csv --seed 5000
  --handouts         writes the students' handouts as one PDF (DATAFILE's stem +
                     "_handouts.pdf"): a page per student with the title, their name and
                     id, their data file, the instructions and what each column holds.
  --instructions TEXTFILE
                     the teacher's instructions (UTF-8 text) for the handouts and the quiz.
  --moodle QUIZ.xml  writes a Moodle XML quiz: a category named by the title, and per
                     dataset an embedded-answers (Cloze) question with the instructions,
                     the student's data file attached, and a numerical answer for each
                     key figure.
  --quiz-figures NAMES
                     the key figures the quiz asks, by their names in the key, separated by
                     commas (student_t,student_df,student_p); default every figure.
  --quiz-digits D    the significant digits students give (2 to 6, default 3): the
                     tolerance is half a unit of the last; N and df are asked exactly.
  --threads T        makes T datasets of a class set at once (1 to 256; default two per
                     core); 1 makes them one after another. The files are the same bytes
                     either way.
  --no-key           writes no answer keys.
  --seed N           the seed N instead of the one in the file.
                       zek-generate setup.TXT --seed 1804
  --reliability R    reliability of the scores, greater than 0.0 and at most 1.0
                     (default 1.0; parameters files do not store it); 0.8 or 0,8.
                       zek-generate setup.TXT --reliability 0.8
  --beta LOW HIGH    the Beta parameters of the skewed shapes, integers from 1 to 10 with
                     LOW <= HIGH (default 2 6; parameters files do not store them).
                       zek-generate setup.TXT --beta 2 10
  --exact            exact sample statistics: each group's, cell's or variable's mean and
                     SD, and the correlations of several variables, are exactly those of
                     the file, as the data file writes them (mean and SD at the box's
                     decimals). Reliability below 1, missing or extreme values and scores
                     cut by Min or Max move them again; the information file says which.
  --repeated         the variables are occasions of one outcome measured on the same cases
                     (designs with 2 to 4 variables in 2 groups, 2 variables in groups or
                     cells, and correlated variables): the answer key adds the repeated-measures ANOVA as R's
                     afex and car compute it (complete cases, Type III, Greenhouse-Geisser
                     and Huynh-Feldt corrections, Mauchly's test, paired t tests between
                     occasions with Holm's adjustment).
  --scale            the correlated variables (designs 29 to 35) are items of one scale: the
                     answer key adds its reliability as R's psych::alpha computes it
                     (Cronbach's alpha raw and standardised, the mean inter-item
                     correlation, each item's corrected item-total correlation and the
                     alphas without it). Items named reverse-keyed in the setup's names
                     section (var3.reverse=yes) are reversed first (lowest + highest - score).
  --scale-score sum|mean
                     with --scale, the data file ends with a column of each case's sum or
                     mean of the items (reverse-keyed ones reversed), missing where an item
                     is missing.
  --long             with --repeated, the data file holds one row per case and occasion
                     (id, the group or cell codes, occasion, score) instead of one row per
                     case, in every format; the occasion's levels are labelled with the
                     variables' names.
  --list-designs     lists the design codes of line 11 of a parameters file, with
                     their boxes and the data file's header line.
  --version          prints the version.
  -h, --help         shows this text.

Exit status: 0 when every dataset was written; 2 when the file or an entry is refused
(the message goes to standard error and nothing is written); 1 when a file cannot be
written.
)";

}  // namespace

const char* GenerateHelpText() {
    return kGenerateHelp;
}

namespace {

// The arguments after the program name, handed out one at a time.
class Arguments {
  public:
    Arguments(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}
    bool Done() const { return next_ >= argc_; }
    std::string_view Next() { return argv_[next_++]; }
    /// The option's value, or nothing at the end of the line.
    std::optional<std::string_view> Value() {
        if (Done()) return std::nullopt;
        return Next();
    }

  private:
    int argc_;
    const char* const* argv_;
    int next_ = 0;
};

Verdict ReadDataFile(std::optional<std::string_view> path, GenerateOptions& options) {
    if (!path || path->empty()) return Refusal{"-o needs the name of the data file", ""};
    if (IsFolderName(*path)) {
        return Refusal{"-o names a folder; give the name of the data file in it", ""};
    }
    options.dataFile = DataFileNamed(*path);
    return std::nullopt;
}

Verdict ReadCount(std::optional<std::string_view> text, GenerateOptions& options) {
    const std::optional<std::int32_t> count = text ? ParseInteger(*text) : std::nullopt;
    if (!count || *count < 1 || *count > kMaxClassSetCount) {
        return Refusal{"--count needs a whole number from 1 to 100000", ""};
    }
    options.count = *count;
    return std::nullopt;
}

Verdict ReadThreads(std::optional<std::string_view> text, GenerateOptions& options) {
    const std::optional<std::int32_t> threads = text ? ParseInteger(*text) : std::nullopt;
    if (!threads || *threads < 1 || *threads > 256) {
        return Refusal{"--threads needs a whole number from 1 to 256", ""};
    }
    options.threads = *threads;
    return std::nullopt;
}

Verdict ReadSeed(std::optional<std::string_view> text, GenerateOptions& options) {
    const std::optional<std::int32_t> seed = text ? ParseSeed(*text) : std::nullopt;
    if (!seed) return Refusal{std::string("--seed: ") + kSeedMessage, ""};
    options.seed = *seed;
    return std::nullopt;
}

Verdict ReadReliability(std::optional<std::string_view> text, GenerateOptions& options) {
    const std::optional<double> reliability = text ? ParseRealEitherSeparator(*text) : std::nullopt;
    if (!reliability) return Refusal{kReliabilityNotANumber, ""};
    if (!IsAcceptedReliability(*reliability)) return Refusal{kReliabilityRange, ""};
    options.reliability = *reliability;
    return std::nullopt;
}

Verdict ReadScaleScore(std::optional<std::string_view> text, GenerateOptions& options) {
    if (text == "sum") {
        options.scaleScore = ScaleScore::Sum;
    } else if (text == "mean") {
        options.scaleScore = ScaleScore::Mean;
    } else {
        return Refusal{"--scale-score takes sum or mean", ""};
    }
    return std::nullopt;
}

Verdict ReadBeta(std::optional<std::string_view> lowText, std::optional<std::string_view> highText,
                 GenerateOptions& options) {
    const Refusal refusal{kBetaMessage, ""};
    if (!lowText || !highText) return refusal;
    const std::optional<std::int32_t> low = ParseInteger(*lowText);
    const std::optional<std::int32_t> high = ParseInteger(*highText);
    if (!low.has_value() || !high.has_value()) return refusal;
    const std::int32_t lowValue = low.value_or(0);
    const std::int32_t highValue = high.value_or(0);
    if (!IsAcceptedBetaPair(lowValue, highValue)) return refusal;
    options.betaLow = lowValue;
    options.betaHigh = highValue;
    return std::nullopt;
}

Verdict ReadFileName(std::string_view option, std::optional<std::string_view> path,
                     std::string& name) {
    if (!path || path->empty() || path->front() == '-') {
        return Refusal{std::string(option) + " needs the name of a file", ""};
    }
    name = std::string(*path);
    return std::nullopt;
}

Verdict ReadQuizDigits(std::optional<std::string_view> text, GenerateOptions& options) {
    const std::optional<std::int32_t> digits = text ? ParseInteger(*text) : std::nullopt;
    if (!digits || *digits < kFewestQuizDigits || *digits > kMostQuizDigits) {
        return Refusal{"--quiz-digits needs a whole number from 2 to 6", ""};
    }
    options.quizDigits = *digits;
    return std::nullopt;
}

// One argument and the values it takes; an error ends the reading.
Verdict ReadArgument(std::string_view arg, Arguments& arguments, GenerateOptions& options) {
    if (arg == "--no-key") {
        options.keys = false;
        return std::nullopt;
    }
    if (arg == "--exact") {
        options.exact = true;
        return std::nullopt;
    }
    if (arg == "--repeated") {
        options.repeated = true;
        return std::nullopt;
    }
    if (arg == "--scale") {
        options.scale = true;
        return std::nullopt;
    }
    if (arg == "--long") {
        options.longLayout = true;
        return std::nullopt;
    }
    if (arg == "-o") return ReadDataFile(arguments.Value(), options);
    if (arg == "--count") return ReadCount(arguments.Value(), options);
    if (arg == "--threads") return ReadThreads(arguments.Value(), options);
    if (arg == "--seed") return ReadSeed(arguments.Value(), options);
    if (arg == "--reliability") return ReadReliability(arguments.Value(), options);
    if (arg == "--scale-score") return ReadScaleScore(arguments.Value(), options);
    if (arg == "--roster") return ReadFileName(arg, arguments.Value(), options.rosterFile);
    if (arg == "--instructions") {
        return ReadFileName(arg, arguments.Value(), options.instructionsFile);
    }
    if (arg == "--moodle") return ReadFileName(arg, arguments.Value(), options.quizFile);
    if (arg == "--quiz-digits") return ReadQuizDigits(arguments.Value(), options);
    if (arg == "--quiz-figures") {
        const std::optional<std::string_view> list = arguments.Value();
        options.quizFigures = list ? FigureNamesOf(*list) : std::vector<std::string>();
        if (options.quizFigures.empty()) {
            return Refusal{"--quiz-figures needs the names of key figures", ""};
        }
        return std::nullopt;
    }
    if (arg == "--handouts") {
        options.handouts = true;
        return std::nullopt;
    }
    if (arg == "--beta") {
        const std::optional<std::string_view> low = arguments.Value();
        return ReadBeta(low, arguments.Value(), options);
    }
    if (!arg.empty() && arg.front() == '-') {
        return Refusal{"unknown option " + std::string(arg) + " (see --help)", ""};
    }
    if (!options.setupFile.empty()) {
        return Refusal{"only one parameters file can be read (see --help)", ""};
    }
    options.setupFile = std::string(arg);
    return std::nullopt;
}

}  // namespace

Checked<GenerateOptions> ParseGenerateOptions(int argc, const char* const* argv) {
    GenerateOptions options;
    Arguments arguments(argc, argv);
    while (!arguments.Done()) {
        const std::string_view arg = arguments.Next();
        // These three answer at once, whatever else the line holds.
        if (arg == "-h" || arg == "--help") options.help = true;
        if (arg == "--version") options.version = true;
        if (arg == "--list-designs") options.listDesigns = true;
        if (options.help || options.version || options.listDesigns) return options;
        if (Verdict refusal = ReadArgument(arg, arguments, options)) return *std::move(refusal);
    }
    if (options.setupFile.empty()) {
        return Refusal{"name the generation parameters file to read (see --help)", ""};
    }
    if (!options.rosterFile.empty() && options.count > 1) {
        return Refusal{"--roster gives a dataset per student: leave out --count", ""};
    }
    if (!options.quizFile.empty() && !options.keys) {
        return Refusal{"--moodle asks the key's figures: it cannot go with --no-key", ""};
    }
    if (options.quizFile.empty() && (!options.quizFigures.empty() || options.quizDigits != 3)) {
        return Refusal{"--quiz-figures and --quiz-digits go with --moodle", ""};
    }
    return options;
}

}  // namespace zek
