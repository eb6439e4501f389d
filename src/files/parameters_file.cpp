#include "files/parameters_file.h"

#include <istream>
#include <string_view>

#include "files/data_file.h"
#include "files/number_format.h"
#include "files/text_file.h"
#include "setup/number_parsing.h"

namespace zek {

namespace {

// The grid is stored column by column: r12, r13, r23, r14, r24, r34, ...
template <typename Visit>
void ForEachCellInFileOrder(Visit visit) {
    for (int j = 2; j <= kMaxVariables; ++j) {
        for (int i = 1; i < j; ++i) visit(CorrelationCellIndex(i, j));
    }
}

std::string BoxToken(const char* stem, int boxNumber, const char* state) {
    std::string token = stem;
    AppendInteger(token, boxNumber);
    return token + state;
}

std::string ShapeToken(DistributionKind shape, int boxNumber) {
    switch (shape) {
        case DistributionKind::Normal:
            return BoxToken("nor", boxNumber, ".checked");
        case DistributionKind::Uniform:
            return BoxToken("uni", boxNumber, ".checked");
        case DistributionKind::SkewPos:
            return BoxToken("pos", boxNumber, ".checked");
        case DistributionKind::SkewNeg:
            return BoxToken("neg", boxNumber, ".checked");
        case DistributionKind::RandomlyChosen:
            return BoxToken("ran", boxNumber, ".checked");
        case DistributionKind::Likert:
            return BoxToken("lik", boxNumber, ".checked");
    }
    return {};
}

std::optional<DistributionKind> ShapeFromToken(const std::string& line, int boxNumber) {
    for (DistributionKind shape :
         {DistributionKind::Normal, DistributionKind::Uniform, DistributionKind::SkewPos,
          DistributionKind::SkewNeg, DistributionKind::RandomlyChosen, DistributionKind::Likert}) {
        if (line == ShapeToken(shape, boxNumber)) return shape;
    }
    return std::nullopt;
}

// Hands out the lines one at a time, so that reading ends with the format's last line, and
// refuses a stream that goes on past `kMaxParametersFileBytes` before then, or a line longer
// than any text the window takes. Lines end as the file's first line ends: with LF (any CRs
// before it belong to the line end, so CR LF and CR CR LF files read alike) or with CR alone.
class LineCursor {
  public:
    struct TooLarge {};
    struct LineTooLong {
        int lineNumber;
    };

    explicit LineCursor(std::istream& in) : in_(in) {}

    std::string Next() {
        ++lineNumber_;
        std::string line;
        if (pendingEmptyLines_ > 0) {
            --pendingEmptyLines_;
            return line;
        }
        if (exhausted_) return line;
        char c = 0;
        bool any = false;
        while (Get(c)) {
            any = true;
            if (c == '\n') {
                ends_ = Ends::LineFeed;
                break;
            }
            if (c == '\r' && ends_ == Ends::CarriageReturn) break;
            if (c == '\r' && ends_ == Ends::Unknown) {
                DecideAtCarriageReturn();
                break;
            }
            line.push_back(c);
            if (line.size() > kMaxTextLength + 2) throw LineTooLong{lineNumber_};
        }
        if (in_.bad()) throw StreamError(SystemErrorOf(in_));
        if (!any) exhausted_ = true;
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > kMaxTextLength) throw LineTooLong{lineNumber_};
        return line;
    }
    void Skip() { Next(); }
    /// Whether the last `Next` found the end of the file.
    bool Exhausted() const { return exhausted_ && pendingEmptyLines_ == 0; }
    int LineNumber() const { return lineNumber_; }

  private:
    enum class Ends { Unknown, LineFeed, CarriageReturn };

    bool Get(char& c) {
        if (!in_.get(c)) return false;
        if (++bytesRead_ > kMaxParametersFileBytes) throw TooLarge{};
        return true;
    }
    // The first CR: followed, after any more CRs, by LF it is a CR LF file; otherwise each CR
    // ends a line, and the CRs after the first end empty lines.
    void DecideAtCarriageReturn() {
        int carriageReturns = 1;
        while (in_.peek() == '\r') {
            char c = 0;
            Get(c);
            ++carriageReturns;
        }
        if (in_.peek() == '\n') {
            char c = 0;
            Get(c);
            ends_ = Ends::LineFeed;
            return;
        }
        in_.clear(in_.rdstate() & ~std::ios::eofbit);
        ends_ = Ends::CarriageReturn;
        pendingEmptyLines_ = carriageReturns - 1;
    }

    std::istream& in_;
    std::size_t bytesRead_ = 0;
    int lineNumber_ = 0;
    int pendingEmptyLines_ = 0;
    Ends ends_ = Ends::Unknown;
    bool exhausted_ = false;
};

// The size of a seekable stream from its current position, or nothing.
std::optional<std::size_t> RemainingSize(std::istream& in) {
    const std::istream::pos_type start = in.tellg();
    if (start == std::istream::pos_type(-1)) return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::istream::pos_type end = in.tellg();
    in.seekg(start);
    if (end == std::istream::pos_type(-1) || !in) {
        in.clear();
        in.seekg(start);
        return std::nullopt;
    }
    return static_cast<std::size_t>(end - start);
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr std::string_view kNamesHeading = "===================Names";
constexpr std::string_view kOptionsHeading = "===================Options";
constexpr std::string_view kExactOption = "exact";
constexpr std::string_view kRepeatedOption = "repeated";
constexpr std::string_view kScaleOption = "scale";
constexpr std::string_view kLongOption = "long";
constexpr std::string_view kScaleSumOption = "scale sum";
constexpr std::string_view kScaleMeanOption = "scale mean";
constexpr std::string_view kCategoriesHeading = "===================Categories";

// The columns a design's names section may name, with the levels of each grouping column.
// A categorical variable has as many levels as the file's table has categories, a Likert
// variable as its boxes have points.
std::optional<DataColumns> NamedColumnsOf(const ParametersFileContents& contents) {
    const std::optional<DesignKind> kind = DesignFromFileCode(contents.designCode);
    if (!kind) return std::nullopt;
    GenerationSetup setup;
    ApplyDesign(Design(*kind), setup);
    setup.scaleItems = contents.scaleItems;
    setup.scaleScore = contents.scaleScore;
    // A Likert box's points, in its maximum line, are its column's levels.
    for (int box = 1; box <= kBoxCount; ++box) {
        const BoxSection& section = contents.boxes[static_cast<std::size_t>(box - 1)];
        if (section.shape != DistributionKind::Likert) continue;
        setup.Box(box).distribution = DistributionKind::Likert;
        setup.Box(box).maxScore = ParseRealEitherSeparator(section.maxText).value_or(0.0);
    }
    if (contents.categories && setup.family == DesignFamily::Categorical) {
        setup.categories.rows = contents.categories->rows;
        setup.categories.columns = contents.categories->columns;
    }
    return DataColumnsOf(setup);
}

// One "key=value" line of the names section into `names`; the refusal's words otherwise.
std::optional<std::string> ReadNameEntry(std::string_view line, const DataColumns& named,
                                         ColumnNames& names) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return "\"" + std::string(line) + "\" is no key=value";
    const std::string key(line.substr(0, equals));
    const std::string value(line.substr(equals + 1));
    const std::size_t dot = key.find('.');
    const std::string column = key.substr(0, dot);
    const std::string part = dot == std::string::npos ? std::string() : key.substr(dot + 1);
    const DataColumn* described = named.Find(column);
    // A level's number, or 0 where the part names none (GCC's Release build misjudges an
    // optional here).
    const std::int32_t level =
        described != nullptr && described->HasLevels() ? ParseInteger(part).value_or(0) : 0;
    const bool levelKnown =
        level >= 1 && level <= described->levels && part == std::to_string(level);
    if (described != nullptr && described->reversible && part == "reverse") {
        if (value != "yes" && value != "no")
            return "reverse takes yes or no, not \"" + value + "\"";
        if (value == "yes") names.reversed.insert(column);
        if (value == "no") names.reversed.erase(column);
        return std::nullopt;
    }
    if (described == nullptr || !(part.empty() || part == "label" || levelKnown)) {
        return "unknown key \"" + key + "\" for this design";
    }
    const Verdict verdict = part.empty() ? CheckColumnName(value) : CheckColumnLabel(value);
    if (verdict) return verdict->message;
    if (part.empty()) {
        names.names[column] = value;
    } else if (part == "label") {
        names.labels[column] = value;
    } else {
        names.levelLabels[column][level] = value;
        if (const Verdict alike = CheckLevelLabels(names.levelLabels[column])) {
            return alike->message;
        }
    }
    return std::nullopt;
}

// The optional names section, after the correlations and the options: its heading (read
// already), then one entry a line to the end of the file.
void ReadNamesSection(LineCursor& cursor, std::string_view heading,
                      ParametersFileReading& reading) {
    if (heading != kNamesHeading) return;
    const std::optional<DataColumns> named = NamedColumnsOf(reading);
    while (true) {
        const std::string line = cursor.Next();
        if (cursor.Exhausted()) return;
        if (line.empty()) continue;
        std::optional<std::string> refusal =
            named ? ReadNameEntry(line, *named, reading.columnNames)
                  : std::optional<std::string>("names need a design code from 1 to " +
                                               std::to_string(kDesignCount));
        if (refusal) {
            reading.outcome = ParametersFileReading::Outcome::NamesRefused;
            reading.namesRefusal = "line " + std::to_string(cursor.LineNumber()) + ": " + *refusal;
            return;
        }
    }
}

// The options, one a line until the categories, the names or the end; an option this
// version does not know is passed over, so that a later version's file still opens. Returns
// the line that ended them.
std::string ReadOptionsSection(LineCursor& cursor, ParametersFileReading& reading) {
    while (true) {
        std::string line = cursor.Next();
        if (cursor.Exhausted() || line == kNamesHeading || line == kCategoriesHeading) return line;
        if (line == kExactOption) reading.exactStatistics = true;
        if (line == kRepeatedOption) reading.repeatedMeasures = true;
        if (line == kScaleOption) reading.scaleItems = true;
        if (line == kScaleSumOption) reading.scaleScore = ScaleScore::Sum;
        if (line == kScaleMeanOption) reading.scaleScore = ScaleScore::Mean;
        if (line == kLongOption) reading.longLayout = true;
    }
}

// The categories section, after its heading (read already): one "key=value" entry a line
// until the names or the end. Returns the line that ended it. A key this version does not
// know is passed over, as an option is.
std::string ReadCategoriesSection(LineCursor& cursor, ParametersFileReading& reading) {
    CategoryTableTexts& texts = reading.categories.emplace();
    texts.percentages.clear();
    while (true) {
        const std::string line = cursor.Next();
        if (cursor.Exhausted() || line == kNamesHeading) return line;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        reading.categoryLines[key] = cursor.LineNumber();
        const auto index = [&key](std::string_view stem) -> std::optional<std::size_t> {
            if (!key.starts_with(stem)) return std::nullopt;
            const std::optional<std::int32_t> k = ParseInteger(key.substr(stem.size()));
            if (!k || *k < 1 || *k > kMaxTableCells ||
                key.substr(stem.size()) != std::to_string(*k)) {
                return std::nullopt;
            }
            return static_cast<std::size_t>(*k - 1);
        };
        if (key == "rows") {
            texts.rows = ParseInteger(value).value_or(0);
        } else if (key == "columns") {
            texts.columns = ParseInteger(value).value_or(0);
        } else if (key == "of") {
            texts.percentagesOf =
                value == "columns" ? PercentagesOf::ColumnsCases : PercentagesOf::AllCases;
        } else if (key == "n") {
            texts.n = value;
        } else if (const std::optional<std::size_t> cell = index("pct")) {
            if (texts.percentages.size() <= *cell) texts.percentages.resize(*cell + 1);
            texts.percentages[*cell] = value;
        } else if (const std::optional<std::size_t> column = index("n")) {
            if (texts.columnN.size() <= *column) texts.columnN.resize(*column + 1);
            texts.columnN[*column] = value;
        }
    }
}

ParametersFileReading ReadSections(LineCursor& cursor) {
    ParametersFileReading reading;
    std::string first = cursor.Next();
    if (first.rfind(kByteOrderMark, 0) == 0) first.erase(0, kByteOrderMark.size());
    if (first.rfind("ZEK Gen", 0) != 0) {
        reading.outcome = ParametersFileReading::Outcome::NotSavedByZek;
        return reading;
    }
    cursor.Skip();
    reading.title = cursor.Next();
    cursor.Skip();
    reading.seed = cursor.Next();
    cursor.Skip();
    reading.missing = cursor.Next();
    cursor.Skip();
    reading.extreme = cursor.Next();
    cursor.Skip();
    reading.designLine = cursor.Next();
    const std::optional<std::int32_t> code = ParseInteger(reading.designLine);
    if (!code) {
        reading.outcome = ParametersFileReading::Outcome::DesignNotInteger;
        return reading;
    }
    reading.designCode = *code;
    cursor.Skip();
    for (int box = 1; box <= kBoxCount; ++box) {
        reading.boxPresent[box - 1] = cursor.Next() == BoxToken("box", box, ".active");
    }
    for (int box = 1; box <= kBoxCount; ++box) {
        if (!reading.boxPresent[box - 1]) continue;
        BoxSection& section = reading.boxes[box - 1];
        cursor.Skip();
        section.mean = cursor.Next();
        section.sd = cursor.Next();
        section.n = cursor.Next();
        section.decimals = cursor.Next();
        section.minChecked = cursor.Next() == BoxToken("min", box, ".checked");
        section.minText = cursor.Next();
        section.maxChecked = cursor.Next() == BoxToken("max", box, ".checked");
        section.maxText = cursor.Next();
        section.shape = ShapeFromToken(cursor.Next(), box);
    }
    cursor.Skip();
    ForEachCellInFileOrder([&](int cell) { reading.correlations[cell] = cursor.Next(); });
    std::string heading = cursor.Next();
    if (heading == kOptionsHeading) heading = ReadOptionsSection(cursor, reading);
    if (heading == kCategoriesHeading) heading = ReadCategoriesSection(cursor, reading);
    ReadNamesSection(cursor, heading, reading);
    return reading;
}

}  // namespace

namespace {

void WriteCategoriesSection(LineWriter& writer, const CategoryTableTexts& texts) {
    writer.Line(std::string(kCategoriesHeading));
    writer.Line("rows=" + std::to_string(texts.rows));
    writer.Line("columns=" + std::to_string(texts.columns));
    writer.Line(texts.percentagesOf == PercentagesOf::AllCases ? "of=all" : "of=columns");
    if (texts.percentagesOf == PercentagesOf::AllCases) {
        writer.Line("n=" + texts.n);
    } else {
        for (std::size_t column = 0; column < texts.columnN.size(); ++column) {
            writer.Line("n" + std::to_string(column + 1) + "=" + texts.columnN[column]);
        }
    }
    for (std::size_t cell = 0; cell < texts.percentages.size(); ++cell) {
        writer.Line("pct" + std::to_string(cell + 1) + "=" + texts.percentages[cell]);
    }
}

// The design's columns in file order, each with its name, label and level labels; nothing
// when no column has one.
void WriteNamesSection(LineWriter& writer, const ParametersFileContents& contents) {
    const ColumnNames& names = contents.columnNames;
    const std::optional<DataColumns> named = NamedColumnsOf(contents);
    if (names.empty() || !named) return;
    std::vector<std::string> entries;
    for (const DataColumn& described : named->all()) {
        const std::string& column = described.defaultName;
        if (const auto found = names.names.find(column);
            found != names.names.end() && !found->second.empty()) {
            entries.push_back(column + "=" + found->second);
        }
        if (const std::string label = names.LabelOf(column); !label.empty()) {
            entries.push_back(column + ".label=" + label);
        }
        if (described.reversible && names.Reversed(column)) {
            entries.push_back(column + ".reverse=yes");
        }
        for (int level = 1; level <= described.levels; ++level) {
            if (const std::string label = names.LevelLabelOf(column, level); !label.empty()) {
                entries.push_back(column + "." + std::to_string(level) + "=" + label);
            }
        }
    }
    if (entries.empty()) return;
    writer.Line(std::string(kNamesHeading));
    for (const std::string& entry : entries) writer.Line(entry);
}

}  // namespace

void WriteParametersFile(std::ostream& out, const ParametersFileContents& contents) {
    LineWriter writer(out);
    writer.Line("ZEK Generation Parameters File");
    writer.Line("===================Title for Output");
    writer.Line(contents.title);
    writer.Line("===================Seed");
    writer.Line(contents.seed);
    writer.Line("===================%Missing");
    writer.Line(contents.missing);
    writer.Line("===================%Extreme");
    writer.Line(contents.extreme);
    writer.Line("===================Design");
    std::string& code = writer.line();
    AppendInteger(code, contents.designCode);
    writer.EndLine();
    writer.Line("===================Active Boxes");
    for (int box = 1; box <= kBoxCount; ++box) {
        writer.Line(BoxToken("box", box, contents.boxPresent[box - 1] ? ".active" : ".not"));
    }
    for (int box = 1; box <= kBoxCount; ++box) {
        if (!contents.boxPresent[box - 1]) continue;
        const BoxSection& section = contents.boxes[box - 1];
        writer.Line(BoxToken("===================BOX ", box, "====="));
        writer.Line(section.mean);
        writer.Line(section.sd);
        writer.Line(section.n);
        writer.Line(section.decimals);
        writer.Line(BoxToken("min", box, section.minChecked ? ".checked" : ".not"));
        writer.Line(section.minChecked ? section.minText : std::string());
        writer.Line(BoxToken("max", box, section.maxChecked ? ".checked" : ".not"));
        writer.Line(section.maxChecked ? section.maxText : std::string());
        writer.Line(ShapeToken(section.shape.value_or(DistributionKind::Normal), box));
    }
    writer.Line("===================Correlations");
    ForEachCellInFileOrder([&](int cell) { writer.Line(contents.correlations[cell]); });
    if (contents.exactStatistics || contents.repeatedMeasures || contents.longLayout ||
        contents.scaleItems || contents.scaleScore != ScaleScore::None) {
        writer.Line(std::string(kOptionsHeading));
        if (contents.exactStatistics) writer.Line(std::string(kExactOption));
        if (contents.repeatedMeasures) writer.Line(std::string(kRepeatedOption));
        if (contents.longLayout) writer.Line(std::string(kLongOption));
        if (contents.scaleItems) writer.Line(std::string(kScaleOption));
        if (contents.scaleScore == ScaleScore::Sum) writer.Line(std::string(kScaleSumOption));
        if (contents.scaleScore == ScaleScore::Mean) writer.Line(std::string(kScaleMeanOption));
    }
    if (contents.categories) WriteCategoriesSection(writer, *contents.categories);
    WriteNamesSection(writer, contents);
    writer.Flush();
}

std::string ParametersFileReading::ErrorMessage() const {
    switch (outcome) {
        case Outcome::NotSavedByZek:
            return kNotSavedByZekMessage;
        case Outcome::TooLarge:
            return "The file you tried to open is larger than 1 MB and was apparently not saved "
                   "by ZEK";
        case Outcome::LineTooLong: {
            std::string message = "Line ";
            AppendInteger(message, longLine);
            return message + " of the file you tried to open is longer than " +
                   std::to_string(kMaxTextLength) +
                   " characters, more than any box of ZEK takes; it was apparently not saved "
                   "by ZEK";
        }
        case Outcome::DesignNotInteger:
            return "'" + designLine + "' is not a valid integer value";
        case Outcome::NamesRefused:
            return namesRefusal;
        case Outcome::Complete:
            break;
    }
    return {};
}

ParametersFileReading ReadParametersFile(std::istream& in) {
    ParametersFileReading tooLarge;
    tooLarge.outcome = ParametersFileReading::Outcome::TooLarge;
    const std::optional<std::size_t> size = RemainingSize(in);
    if (size && *size > kMaxParametersFileBytes) return tooLarge;
    LineCursor cursor(in);
    try {
        return ReadSections(cursor);
    } catch (const LineCursor::TooLarge&) {
        return tooLarge;
    } catch (const LineCursor::LineTooLong& tooLong) {
        ParametersFileReading refused;
        refused.outcome = ParametersFileReading::Outcome::LineTooLong;
        refused.longLine = tooLong.lineNumber;
        return refused;
    }
}

std::optional<std::string> PlaceInParametersFile(const ParametersFileReading& reading,
                                                 std::string_view controlName) {
    auto place = [](int line, std::string_view what) {
        std::string text = "line ";
        AppendInteger(text, line);
        return text + ", " + std::string(what);
    };
    if (controlName == "txt_seed1") return place(5, "Seed");
    // The categories section's entries, by the keys their controls are named after.
    for (const auto& [stem, key] : {std::pair{std::string_view("txt_pct"), "pct"},
                                    std::pair{std::string_view("txt_catn"), "n"}}) {
        if (!controlName.starts_with(stem)) continue;
        const std::string entry = key + std::string(controlName.substr(stem.size()));
        const auto found = reading.categoryLines.find(entry);
        if (found == reading.categoryLines.end()) return std::nullopt;
        return place(found->second, "categories " + entry);
    }
    if (controlName == "txt_missing_main") return place(7, "% Missing");
    if (controlName == "txt_extreme_main") return place(9, "% Extreme");

    // The sections follow the 20 heading lines, ten lines for each box present.
    constexpr int kFirstSectionLine = 21;
    int sectionsBefore = 0;
    std::array<int, kBoxCount> sectionLine{};
    for (int box = 1; box <= kBoxCount; ++box) {
        if (!reading.boxPresent[box - 1]) continue;
        sectionLine[box - 1] = kFirstSectionLine + 10 * sectionsBefore++;
    }
    struct BoxLine {
        std::string_view stem;
        int offset;
        std::string_view what;
    };
    for (const BoxLine& item :
         {BoxLine{"txt_mean", 1, "Mean"}, BoxLine{"txt_sd", 2, "SD"}, BoxLine{"txt_n", 3, "N"},
          BoxLine{"txt_dec", 4, "# Decimals"}, BoxLine{"txt_min", 6, "Min Score"},
          BoxLine{"txt_max", 8, "Max Score"}, BoxLine{"box_group", 0, ""}}) {
        if (!controlName.starts_with(item.stem) || controlName.size() != item.stem.size() + 1) {
            continue;
        }
        const int box = controlName.back() - '0';
        if (box < 1 || box > kBoxCount || sectionLine[box - 1] == 0) return std::nullopt;
        std::string what = "box ";
        AppendInteger(what, box);
        if (!item.what.empty()) what += " " + std::string(item.what);
        return place(sectionLine[box - 1] + item.offset, what);
    }
    if (controlName.starts_with("txt_r") && controlName.size() == 7) {
        const int i = controlName[5] - '0';
        const int j = controlName[6] - '0';
        if (i < 1 || i >= j || j > kMaxVariables) return std::nullopt;
        // The grid is stored column by column: r12, r13, r23, r14, ...
        const int correlationsLine = kFirstSectionLine + 10 * sectionsBefore;
        const int index = (j - 1) * (j - 2) / 2 + (i - 1);
        return place(correlationsLine + 1 + index, controlName.substr(4));
    }
    return std::nullopt;
}

Verdict CheckDesignOf(const ParametersFileReading& reading) {
    const std::optional<DesignKind> kind = DesignFromFileCode(reading.designCode);
    if (!kind) {
        std::string message = "line ";
        AppendInteger(message, kDesignLineNumber);
        message += ": design code " + reading.designLine + " names no design (codes 1 to " +
                   std::to_string(kDesignCount) + ")";
        return Refusal{message, ""};
    }
    const DesignInfo& design = Design(*kind);
    for (int box = 1; box <= kBoxCount; ++box) {
        const bool present = reading.boxPresent[box - 1];
        if (present == design.activeBoxes.Contains(box)) continue;
        std::string message = "line ";
        AppendInteger(message, kDesignLineNumber + 1 + box);
        message += ": box ";
        AppendInteger(message, box);
        message += present ? " is given, but design " : " is missing, but design ";
        AppendInteger(message, design.fileCode);
        message += present ? " does not use it" : " needs it";
        return Refusal{message, ""};
    }
    if (design.family != DesignFamily::Categorical) return std::nullopt;
    std::string message = "line ";
    AppendInteger(message, kDesignLineNumber);
    message += ": design ";
    AppendInteger(message, design.fileCode);
    if (!reading.categories) {
        return Refusal{message + " needs a categories section after the correlations", ""};
    }
    const CategoryTableTexts& table = *reading.categories;
    const bool oneVariable = design.variableCount == 1;
    const bool fits =
        oneVariable ? table.rows >= 2 && table.rows <= kMaxCategories && table.columns == 1
                    : table.rows == design.levelsFactor1 && table.columns == design.levelsFactor2;
    if (!fits) {
        return Refusal{
            message + (oneVariable
                           ? " needs 2 to 8 rows and 1 column of categories"
                           : " needs a table of " + std::to_string(design.levelsFactor1) +
                                 " rows and " + std::to_string(design.levelsFactor2) + " columns"),
            ""};
    }
    return std::nullopt;
}

}  // namespace zek
