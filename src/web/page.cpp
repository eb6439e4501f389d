#include "web/page.h"

#include <exception>
#include <vector>

#include "commands/category_form.h"
#include "commands/class_set.h"
#include "commands/data_viewer_text.h"
#include "commands/design_presentation.h"
#include "commands/help_texts.h"
#include "commands/names_form.h"
#include "commands/open_command.h"
#include "commands/option_dialogs.h"
#include "commands/save_command.h"
#include "web/json_text.h"

namespace zek {

namespace {

constexpr const char* kFolder = "/zek/";

void AddEdit(JsonText& json, std::string_view key, const EditControl& edit) {
    json.Key(key).Begin('{');
    json.Key("text").String(edit.text);
    json.Key("enabled").Boolean(edit.enabled);
    json.Key("visible").Boolean(edit.visible);
    json.Key("readOnly").Boolean(edit.readOnly);
    json.End('}');
}

void AddCheck(JsonText& json, std::string_view key, const CheckControl& check) {
    json.Key(key).Begin('{');
    json.Key("checked").Boolean(check.checked);
    json.Key("enabled").Boolean(check.enabled);
    json.End('}');
}

void AddBox(JsonText& json, const ParameterBox& box) {
    json.Begin('{');
    json.Key("caption").String(box.caption);
    json.Key("colour").Begin('[');
    json.Integer(box.colour.red).Integer(box.colour.green).Integer(box.colour.blue);
    json.End(']');
    json.Key("visible").Boolean(box.visible);
    json.Key("meanHeading").String(box.meanHeading);
    AddEdit(json, "mean", box.mean);
    AddEdit(json, "sd", box.sd);
    AddEdit(json, "n", box.n);
    AddEdit(json, "decimals", box.decimals);
    AddEdit(json, "min", box.min);
    AddEdit(json, "max", box.max);
    AddCheck(json, "minCheck", box.minCheck);
    AddCheck(json, "maxCheck", box.maxCheck);
    json.Key("shape").Integer(static_cast<int>(box.shape));
    json.Key("shapesEnabled").Boolean(box.shapesEnabled);
    json.End('}');
}

void AddStrings(JsonText& json, std::string_view key, const std::vector<std::string>& texts) {
    json.Key(key).Begin('[');
    for (const std::string& text : texts) json.String(text);
    json.End(']');
}

// A categorical design's table as typed, with its headers and the sums as they stand.
void AddCategories(JsonText& json, const DesignInfo& design, const CategoryTableTexts& texts,
                   const ColumnNames& names, char separator) {
    json.Key("categorical").Boolean(design.family == DesignFamily::Categorical);
    json.Key("categories").Begin('{');
    json.Key("rows").Integer(texts.rows);
    json.Key("columns").Integer(texts.columns);
    json.Key("ofColumns").Boolean(texts.percentagesOf == PercentagesOf::ColumnsCases);
    AddStrings(json, "percentages", texts.percentages);
    json.Key("n").String(texts.n);
    AddStrings(json, "columnN", texts.columnN);
    std::vector<std::string> rowHeaders, columnHeaders;
    for (int row = 1; row <= texts.rows; ++row) rowHeaders.push_back(CategoryHeader(names, 1, row));
    for (int column = 1; column <= texts.columns; ++column) {
        columnHeaders.push_back(texts.columns > 1 ? CategoryHeader(names, 2, column)
                                                  : "Percentage");
    }
    AddStrings(json, "rowHeaders", rowHeaders);
    AddStrings(json, "columnHeaders", columnHeaders);
    const CategorySums sums = SumsOf(texts, separator);
    json.Key("sums").String(sums.text);
    json.Key("complete").Boolean(sums.complete);
    json.End('}');
}

// The part of `text` from `from` to the next `separator` (or the end); `from` moves past it.
std::string NextField(const std::string& text, std::size_t& from, char separator) {
    const std::size_t end = std::min(text.find(separator, from), text.size());
    std::string field = text.substr(from, end - from);
    from = end + 1;
    return field;
}

}  // namespace

Page::Page() : state_(std::make_unique<ProgramState>()), window_(*state_, host_, '.') {
    state_->reportFooterLines = AboutIdentificationLines();
}

std::string Page::DesignsJson() {
    JsonText json;
    json.Begin('[');
    for (const DesignInfo& design : DesignCatalogue()) {
        json.Begin('{');
        json.Key("code").Integer(design.fileCode);
        json.Key("button").String(design.radioButton);
        json.Key("caption").String(design.buttonCaption);
        json.Key("row").String(RowLabelOf(design));
        json.End('}');
    }
    json.End(']');
    return json.Take();
}

std::string Page::ShapesJson() {
    JsonText json;
    json.Begin('[');
    for (int shape = 0; shape <= static_cast<int>(DistributionKind::Likert); ++shape) {
        json.String(DistributionCaption(static_cast<DistributionKind>(shape)));
    }
    json.End(']');
    return json.Take();
}

std::string Page::ModelJson() const {
    JsonText json;
    json.Begin('{');
    json.Key("design").Integer(Design(window_.design()).fileCode);
    json.Key("boxes").Begin('[');
    for (int box = 1; box <= kBoxCount; ++box) AddBox(json, window_.Box(box));
    json.End(']');
    json.Key("correlations").Begin('[');
    for (int j = 2; j <= kMaxVariables; ++j) {
        for (int i = 1; i < j; ++i) {
            json.Begin('{');
            json.Key("i").Integer(i);
            json.Key("j").Integer(j);
            AddEdit(json, "cell", window_.Correlation(i, j));
            json.End('}');
        }
    }
    json.End(']');
    json.Key("columnHeaders").Begin('[');
    for (int i = 1; i < kMaxVariables; ++i) json.String(window_.ColumnHeader(i));
    json.End(']');
    json.Key("rowHeaders").Begin('[');
    for (int j = 2; j <= kMaxVariables; ++j) json.String(window_.RowHeader(j));
    json.End(']');
    json.Key("title").String(window_.title());
    json.Key("seed").String(window_.seed());
    json.Key("missing").String(window_.missing());
    json.Key("extreme").String(window_.extreme());
    json.Key("warningVisible").Boolean(window_.warningVisible());
    json.Key("focus").String(window_.focus());
    AddCategories(json, Design(window_.design()), window_.categories(), window_.columnNames(),
                  window_.decimalSeparator());
    const GenerationSetup& setup = state_->setup;
    json.Key("options").Begin('{');
    json.Key("exact").Boolean(setup.exactStatistics);
    json.Key("repeated").Boolean(setup.repeatedMeasures);
    json.Key("long").Boolean(setup.longLayout);
    json.Key("scale").Boolean(setup.scaleItems);
    json.Key("scaleScore").Integer(static_cast<int>(setup.scaleScore));
    json.Key("reliability").String(std::to_string(setup.reliability).substr(0, 5));
    json.Key("betaLow").Integer(setup.betaLow);
    json.Key("betaHigh").Integer(setup.betaHigh);
    json.End('}');
    json.End('}');
    return json.Take();
}

std::string Page::TakeMessagesJson() {
    JsonText json;
    json.Begin('[');
    for (const PageMessage& message : host_.TakeMessages()) {
        json.Begin('{');
        json.Key("text").String(message.text);
        json.Key("details").String(message.details);
        json.Key("focus").String(message.focus);
        json.End('}');
    }
    json.End(']');
    return json.Take();
}

void Page::SelectDesign(int fileCode) {
    if (const std::optional<DesignKind> kind = DesignFromFileCode(fileCode)) {
        window_.SelectDesign(*kind);
    }
}

void Page::SetBoxText(int box, int edit, const std::string& text) {
    if (box < 1 || box > kBoxCount || edit < 0 || edit > static_cast<int>(BoxEdit::Max)) return;
    window_.SetBoxText(box, static_cast<BoxEdit>(edit), text);
}

void Page::SetLimitTicked(int box, int side, bool ticked) {
    if (box < 1 || box > kBoxCount) return;
    window_.SetLimitTicked(box, side == 0 ? LimitSide::Min : LimitSide::Max, ticked);
}

void Page::SelectShape(int box, int shape) {
    if (box < 1 || box > kBoxCount || shape < 0 ||
        shape > static_cast<int>(DistributionKind::Likert)) {
        return;
    }
    window_.SelectShape(box, static_cast<DistributionKind>(shape));
}

void Page::SetCorrelationText(int i, int j, const std::string& text) {
    if (i < 1 || i >= j || j > kMaxVariables) return;
    window_.SetCorrelationText(i, j, text);
}

void Page::DrawSeed(double fraction) {
    host_.SetClockFraction(fraction);
    window_.DrawSeedFromClock();
}

void Page::SetCorrelationPreset(int preset) {
    switch (preset) {
        case 0:
            window_.SetAllCorrelationsToZero();
            break;
        case 1:
            window_.SetAllCorrelationsToHalf();
            break;
        case 2:
            window_.SetAllCorrelationsToQuarter();
            break;
        case 3:
            window_.SetRandomCorrelationsInTenths();
            break;
        default:
            window_.SetRandomCorrelationsInHundredths();
            break;
    }
}

void Page::SetCategoryPercentage(int cell, const std::string& text) {
    if (cell < 0 || cell >= kMaxTableCells) return;
    CategoryTableTexts texts = window_.categories();
    if (texts.percentages.size() <= static_cast<std::size_t>(cell)) {
        texts.percentages.resize(static_cast<std::size_t>(cell) + 1);
    }
    texts.percentages[static_cast<std::size_t>(cell)] = text;
    window_.SetCategories(std::move(texts));
}

void Page::SetCategoryN(const std::string& text) {
    CategoryTableTexts texts = window_.categories();
    texts.n = text;
    window_.SetCategories(std::move(texts));
}

void Page::SetCategoryColumnN(int column, const std::string& text) {
    if (column < 0 || column >= kMaxTableColumns) return;
    CategoryTableTexts texts = window_.categories();
    if (texts.columnN.size() <= static_cast<std::size_t>(column)) {
        texts.columnN.resize(static_cast<std::size_t>(column) + 1);
    }
    texts.columnN[static_cast<std::size_t>(column)] = text;
    window_.SetCategories(std::move(texts));
}

void Page::SetCategoryRows(int rows) {
    if (rows < 2 || rows > kMaxCategories) return;
    window_.SetCategories(WithRows(window_.categories(), rows));
}

void Page::SetPercentagesOf(int of) {
    window_.SetCategories(WithPercentagesOf(
        window_.categories(), of == 0 ? PercentagesOf::AllCases : PercentagesOf::ColumnsCases));
}

std::string Page::NameRowsJson() const {
    GenerationSetup shown = state_->setup;
    ApplyDesign(Design(window_.design()), shown);
    JsonText json;
    json.Begin('[');
    for (const NameRow& row : NameRowsOf(shown, window_.columnNames())) {
        json.Begin('{');
        json.Key("column").String(row.column);
        json.Key("level").Integer(row.level);
        json.Key("name").String(row.name);
        json.Key("label").String(row.label);
        json.Key("reversible").Boolean(row.reversible);
        json.Key("reversed").Boolean(row.reversed);
        json.End('}');
    }
    json.End(']');
    return json.Take();
}

bool Page::ApplyNameRows(const std::string& typed) {
    GenerationSetup shown = state_->setup;
    ApplyDesign(Design(window_.design()), shown);
    std::vector<NameRow> rows = NameRowsOf(shown, window_.columnNames());
    std::size_t at = 0;
    for (NameRow& row : rows) {
        std::size_t field = 0;
        const std::string entry = NextField(typed, at, '\x1e');
        // A level's row has a label only.
        const std::string name = NextField(entry, field, '\x1f');
        if (row.level == 0) row.name = name;
        row.label = NextField(entry, field, '\x1f');
        row.reversed = row.reversible && NextField(entry, field, '\x1f') == "1";
    }
    const Checked<ColumnNames> names = ReadNameRows(rows, window_.columnNames());
    if (!names) {
        host_.ShowMessage(names.refusal().message);
        return false;
    }
    window_.SetColumnNames(*names);
    return true;
}

void Page::SetReliability(const std::string& text) {
    if (const Verdict verdict = AcceptReliability(text, '.', state_->setup)) {
        host_.ShowMessage(verdict->message);
    }
}

void Page::SetBetaPair(const std::string& low, const std::string& high) {
    if (const Verdict verdict = AcceptBetaPair(low, high, state_->setup)) {
        host_.ShowMessage(verdict->message);
    }
}

void Page::ToggleOption(const std::string& name) {
    if (name == "exact") window_.ToggleExactStatistics();
    if (name == "repeated") window_.ToggleRepeatedMeasures();
    if (name == "long") window_.ToggleLongLayout();
    if (name == "scale") window_.ToggleScaleItems();
}

void Page::SetScaleScore(int score) {
    window_.SetScaleScore(score == 1   ? ScaleScore::Sum
                          : score == 2 ? ScaleScore::Mean
                                       : ScaleScore::None);
}

void Page::SetCorrelationsFromAlpha(const std::string& alpha) {
    if (const Verdict verdict = window_.SetCorrelationsFromAlpha(alpha)) {
        host_.ShowMessage(verdict->message);
    }
}

void Page::OpenParametersText(const std::string& text) {
    const std::string path = std::string(kFolder) + "opened.TXT";
    try {
        WriteTextFile(path, [&text](std::ostream& out) { WriteChecked(out, text); });
        OpenParametersFile(path, window_, *state_, host_);
    } catch (const std::exception& error) {
        host_.ShowMessage(error.what());
    }
}

std::string Page::Generate(const std::string& dataFileName) {
    ClassSetRequest request;
    request.dataFile = std::string(kFolder) + dataFileName;
    request.threads = 1;
    JsonText json;
    json.Begin('[');
    try {
        ClassSetProgress progress;
        const ClassSetResult result =
            zek::GenerateClassSet(window_, *state_, host_, request, progress);
        if (result.outcome == ClassSetOutcome::Written) {
            // The data file, then its information file, parameters file and key.
            const std::vector<std::string> written = ClassSetFileNames(request);
            for (const std::string& name : written) json.String(name);
            state_->setup.dataFileName = written.at(0);
            state_->setup.infoFileName = written.at(1);
        }
    } catch (const std::exception& error) {
        host_.ShowMessage(error.what());
    }
    json.End(']');
    return json.Take();
}

std::string Page::GenerateClassSet(int students, const std::string& firstSeed,
                                   const std::string& fileName, const std::string& rosterText,
                                   bool handouts, bool quiz, const std::string& instructions,
                                   const std::string& quizFigures, int quizDigits) {
    JsonText json;
    json.Begin('[');
    ClassSetForm form;
    form.students = students;
    form.firstSeed = firstSeed;
    form.folder = std::string(kFolder) + "set/";
    form.fileName = fileName;
    form.handouts = handouts;
    form.quiz = quiz;
    form.instructions = instructions;
    form.quizFigures = FigureNamesOf(quizFigures);
    form.quizDigits = quizDigits;
    if (!rosterText.empty()) {
        // The roster's messages name the file the teacher chose, as the page has it.
        form.roster = std::string(kFolder) + "roster.csv";
        try {
            WriteTextFile(form.roster,
                          [&rosterText](std::ostream& out) { WriteChecked(out, rosterText); });
        } catch (const std::exception& error) {
            host_.ShowMessage(error.what());
            return json.End(']').Take();
        }
    }
    const Checked<ClassSetRequest> request = ReadClassSetForm(form);
    if (!request) {
        host_.ShowMessage(request.refusal().message);
        return json.End(']').Take();
    }
    try {
        ClassSetProgress progress;
        const ClassSetResult result =
            zek::GenerateClassSet(window_, *state_, host_, *request, progress);
        if (result.outcome == ClassSetOutcome::Written) {
            for (const std::string& name : ClassSetFileNames(*request)) json.String(name);
        }
    } catch (const std::exception& error) {
        host_.ShowMessage(error.what());
    }
    return json.End(']').Take();
}

std::string Page::KeyFigureNames() const {
    JsonText json;
    json.Begin('[');
    for (const std::string& name : KeyFigureNamesOf(*state_)) json.String(name);
    return json.End(']').Take();
}

namespace {

void AddNumbers(JsonText& json, std::string_view key, const std::vector<double>& values) {
    json.Key(key).Begin('[');
    for (const double value : values) json.Number(value);
    json.End(']');
}

void AddHistogram(JsonText& json, const Histogram& histogram) {
    json.Begin('{');
    json.Key("box").Integer(histogram.box);
    json.Key("low").Number(histogram.low);
    json.Key("binWidth").Number(histogram.binWidth);
    json.Key("counts").Begin('[');
    for (const int count : histogram.counts) json.Integer(count);
    json.End(']');
    json.Key("present").Integer(histogram.present);
    json.Key("missing").Integer(histogram.missing);
    json.Key("requestedMean").Number(histogram.requestedMean);
    json.Key("actualMean").Number(histogram.actualMean);
    json.Key("curve").Begin('[');
    for (const CurvePoint& point : histogram.curve) {
        json.Begin('[').Number(point.score).Number(point.count).End(']');
    }
    json.End(']');
    json.End('}');
}

void AddScatter(JsonText& json, const ScatterPanel& panel) {
    json.Begin('{');
    json.Key("x").Integer(panel.x);
    json.Key("y").Integer(panel.y);
    json.Key("requestedR").Number(panel.requestedR);
    json.Key("actualR").Number(panel.actualR);
    json.Key("points").Begin('[');
    for (const auto& [x, y] : panel.points) json.Begin('[').Number(x).Number(y).End(']');
    json.End(']');
    json.End('}');
}

void AddBars(JsonText& json, const BarPanel& panel) {
    json.Begin('{');
    json.Key("label").String(panel.label);
    json.Key("categories").Begin('[');
    for (const std::string& category : panel.categories) json.String(category);
    json.End(']');
    AddNumbers(json, "asked", panel.asked);
    AddNumbers(json, "actual", panel.actual);
    json.End('}');
}

}  // namespace

std::string Page::PlotsJson() {
    JsonText json;
    json.Begin('{');
    try {
        const ScorePlots plots = PlotsOfSavedData(*state_);
        json.Key("histograms").Begin('[');
        for (const Histogram& histogram : plots.histograms) AddHistogram(json, histogram);
        json.End(']');
        json.Key("scatter").Begin('[');
        for (const ScatterPanel& panel : plots.scatter) AddScatter(json, panel);
        json.End(']');
        json.Key("bars").Begin('[');
        for (const BarPanel& panel : plots.bars) AddBars(json, panel);
        json.End(']');
    } catch (const std::exception& error) {
        host_.ShowMessage(error.what());
    }
    json.End('}');
    return json.Take();
}

std::string Page::ViewerText(int mode) {
    std::vector<std::string> lines;
    try {
        AppendViewerLines(static_cast<DataViewMode>(mode), *state_, lines);
    } catch (const std::exception& error) {
        lines.emplace_back(error.what());
    }
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

}  // namespace zek
