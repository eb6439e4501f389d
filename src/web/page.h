// The program behind the page: one window model and its state, driven by what the page's
// script forwards, and read back by it as JSON to draw. Generate writes the files that
// zek-generate writes, with the same writers, into the page's own file system, where the
// script takes them for the viewer and the downloads.
#pragma once

#include <memory>
#include <string>

#include "commands/class_set.h"
#include "commands/main_window_model.h"
#include "commands/program_state.h"
#include "web/page_host.h"

namespace zek {

class Page {
  public:
    Page();

    /// Every design: its file code, button, caption and row.
    static std::string DesignsJson();
    /// The shape buttons' captions, by shape number.
    static std::string ShapesJson();
    /// What the window shows now: the design, boxes, grid, texts, options and focus.
    std::string ModelJson() const;
    /// The messages since the last call, oldest first, each with the control to focus.
    std::string TakeMessagesJson();

    void SelectDesign(int fileCode);
    void SetBoxText(int box, int edit, const std::string& text);
    void SetLimitTicked(int box, int side, bool ticked);
    void SelectShape(int box, int shape);
    void SetCorrelationText(int i, int j, const std::string& text);
    void SetTitle(const std::string& text) { window_.SetTitle(text); }
    void SetSeedText(const std::string& text) { window_.SetSeedText(text); }
    void SetMissingText(const std::string& text) { window_.SetMissingText(text); }
    void SetExtremeText(const std::string& text) { window_.SetExtremeText(text); }
    /// "Let ZEK set Random seed", from the page's random fraction in [0, 1).
    void DrawSeed(double fraction);
    void SetCorrelationPreset(int preset);

    /// A categorical design's table: a cell's percentage (from 0, row by row), N, a column's
    /// N, the categories of one variable, and whether the percentages are of all cases (0)
    /// or of each column's (1).
    void SetCategoryPercentage(int cell, const std::string& text);
    void SetCategoryN(const std::string& text);
    void SetCategoryColumnN(int column, const std::string& text);
    void SetCategoryRows(int rows);
    void SetPercentagesOf(int of);

    /// The rows of Names and Labels for the design: column, level, name, label, reversible,
    /// reversed.
    std::string NameRowsJson() const;
    /// The dialog's rows as typed, each "name\x1flabel\x1freversed(0/1)" and separated by
    /// "\x1e", in the order of `NameRowsJson`: taken, or refused with the row's message.
    bool ApplyNameRows(const std::string& typed);

    /// Options that take a value: refused with the desktop's message (in the messages).
    void SetReliability(const std::string& text);
    void SetBetaPair(const std::string& low, const std::string& high);
    void ToggleOption(const std::string& name);
    void ResetToStartup() { window_.ResetToStartup(); }
    void CopyCellOneToAllCells() { window_.CopyCellOneToAllCells(); }
    /// The scale's score column: 0 none, 1 the items' sum, 2 their mean.
    void SetScaleScore(int score);
    /// "Set Correlations from Alpha...": refused with the desktop's message.
    void SetCorrelationsFromAlpha(const std::string& alpha);

    /// Replays a parameters file's text onto the window, as Open does.
    void OpenParametersText(const std::string& text);
    /// Generates one dataset and writes its four files under /zek/ as `dataFileName` (.csv);
    /// the written files' paths as JSON, empty where the run was refused or failed.
    std::string Generate(const std::string& dataFileName);
    /// "Generate Class Set...": `students` datasets from `firstSeed` on, or a dataset per
    /// student of `rosterText` (a roster file's text; none where empty), named from `fileName`,
    /// in a folder of their own under /zek/, with the students' handouts and a Moodle quiz
    /// asking `quizFigures` (names between commas; every figure where empty) where asked; the
    /// paths of the files written as JSON, empty where the set was refused (with the dialog's
    /// message).
    std::string GenerateClassSet(int students, const std::string& firstSeed,
                                 const std::string& fileName, const std::string& rosterText,
                                 bool handouts, bool quiz, const std::string& instructions,
                                 const std::string& quizFigures, int quizDigits);
    /// The key figures of the last run, which the quiz can ask, as JSON.
    std::string KeyFigureNames() const;
    /// The seed the class-set dialog offers.
    std::string OfferedClassSetSeed() const { return OfferedFirstSeed(*state_, window_); }

    /// The plot page of the last files written: histograms with their curves, scatter panels,
    /// occasions' means and categories' bars.
    std::string PlotsJson();
    /// The viewer's text of the last files written: 0 both, 1 information, 2 data.
    std::string ViewerText(int mode);

  private:
    std::unique_ptr<ProgramState> state_;
    PageHost host_;
    MainWindowModel window_;
};

}  // namespace zek
