#include "web/page.h"

#include <exception>
#include <vector>

#include "commands/class_set.h"
#include "commands/data_viewer_text.h"
#include "commands/design_presentation.h"
#include "commands/help_texts.h"
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
    const GenerationSetup& setup = state_->setup;
    json.Key("options").Begin('{');
    json.Key("exact").Boolean(setup.exactStatistics);
    json.Key("repeated").Boolean(setup.repeatedMeasures);
    json.Key("long").Boolean(setup.longLayout);
    json.Key("scale").Boolean(setup.scaleItems);
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
        const ClassSetResult result = GenerateClassSet(window_, *state_, host_, request, progress);
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
