// The main window of ZEK (`Tzekform`).
//
// The window is a thin view over `MainWindowModel`, which holds the state of every control and
// runs every reaction: a widget forwards the user's edit, tick or click to the model, and the
// window then draws the model again (`Render`). Changes the model makes never echo back as
// user edits, since the widgets listen only to the user's own signals (textEdited, clicked).
//
//   DesignSelector, 8 x ParameterBoxWidget, CorrelationGridWidget, the right-hand column
//        | user actions                         ^ Render()
//        v                                      |
//   MainWindowModel ----- Texts() -----> RunCommand / AfterRunSave / OpenParametersFile
//                                          | messages, dialogs, file choosers
//                                          v
//                                      WindowHost -> UserPrompts (message boxes, file dialogs)
#pragma once

#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/class_set.h"
#include "commands/help_texts.h"
#include "commands/main_window_model.h"
#include "commands/program_state.h"

class QActionGroup;
class QLineEdit;

namespace zek {

class BetaDialog;
class CategoryPanel;
class CorrelationGridWidget;
class DataViewer;
class DesignSelector;
class ExampleBox;
class InformationWindow;
class NamesDialog;
class OptionDialog;
class ParameterBoxWidget;
class UserPrompts;
class WindowHost;

class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    MainWindow(ProgramState& state, UserPrompts& prompts, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainWindowModel& model() { return *model_; }
    DataViewer& viewer() { return *viewer_; }
    ExampleBox& examples() { return *examples_; }

    // Commands of the buttons and menu items.
    void btn_runClick();
    void btnRunClick();
    /// "Generate Class Set...": a dataset for every student and the class's answer key.
    void GenerateClassSet1Click();
    void btnSaveDataClick();
    void SaveGenerationParameters1Click();
    void OpenGenerationParametersFile1Click();
    void ViewData1Click();
    void SetIntegerSeed1Click();
    void Reliability1Click();
    void NamesandLabels1Click();
    void SetMissingValues1Click();
    void SetExtremeValues1Click();
    void Betaother1Click();
    void HintforMeanandSDValues1Click();
    void WhatsNew1Click();
    void HintforRepeatedMeasures1Click();
    void HintforCategoricalData1Click();
    void HintforLogisticRegression1Click();
    void SetCorrelationsfromAlpha1Click();
    void ShowHelpText(const std::string& text);
    void btnAboutClick();
    void ShowHowTo(HowTo topic);

  private:
    /// One item of a menu's table; an entry without a name is a separator.
    struct MenuEntry {
        const char* name = nullptr;
        QString caption;
        QKeySequence shortcut;
        std::function<void()> run;
        const char* toolTip = nullptr;
    };

    /// The class-set dialog until its answers can be used; nothing when cancelled.
    std::optional<ClassSetRequest> AskForClassSet();
    /// Whether the set's folder stands, once the user has been offered to create it.
    bool OfferToCreateFolderOf(const ClassSetRequest& request);
    /// What a set wrote, in a sentence; empty when it wrote nothing.
    static QString ClassSetSummary(const ClassSetRequest& request, const ClassSetResult& result);
    /// The handouts and quiz a set wrote beside its datasets, a line each.
    static QString StudentFilesSummary(const ClassSetRequest& request);
    void BuildRightColumn(QWidget* client);
    void BuildMenu();
    void BuildOptionsMenu();
    void ChooseScaleScore(ScaleScore score);
    void BuildHelpMenu();
    /// Adds the entries in order; the actions made, separators left out.
    QList<QAction*> AddEntries(QMenu* menu, const std::vector<MenuEntry>& entries);
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut, void (MainWindow::*command)());
    QAction* AddAction(QMenu* menu, const QString& name, const QString& caption,
                       const QKeySequence& shortcut, const std::function<void()>& run);
    void AskPercentageUntilAccepted(PercentageKind kind);
    /// Runs a command that may fail on a file, showing the failure naming the file.
    template <typename Command>
    void WithFileErrorsShown(Command command);
    /// Draws the model and moves the focus where the last reaction asked.
    void Render();

    ProgramState& state_;
    UserPrompts& prompts_;
    OptionDialog* seedDialog_ = nullptr;
    OptionDialog* reliabilityDialog_ = nullptr;
    NamesDialog* namesDialog_ = nullptr;
    OptionDialog* missingDialog_ = nullptr;
    OptionDialog* extremeDialog_ = nullptr;
    BetaDialog* betaDialog_ = nullptr;
    DataViewer* viewer_ = nullptr;
    ExampleBox* examples_ = nullptr;
    InformationWindow* about_ = nullptr;
    InformationWindow* userAgreement_ = nullptr;
    InformationWindow* acknowledgements_ = nullptr;
    std::unique_ptr<WindowHost> host_;
    std::unique_ptr<MainWindowModel> model_;

    DesignSelector* designs_ = nullptr;
    std::array<ParameterBoxWidget*, kBoxCount> boxes_{};
    CorrelationGridWidget* correlations_ = nullptr;
    CategoryPanel* categories_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* seed_ = nullptr;
    QLineEdit* missing_ = nullptr;
    QLineEdit* extreme_ = nullptr;
    QActionGroup* betaItems_ = nullptr;
    QAction* betaOther_ = nullptr;
    QAction* exactItem_ = nullptr;
    QAction* repeatedItem_ = nullptr;
    QAction* longItem_ = nullptr;
    QAction* scaleItem_ = nullptr;
    QAction* scaleSumItem_ = nullptr;
    QAction* scaleMeanItem_ = nullptr;
    /// Disabled, with a tool tip saying why, while a categorical design is selected.
    QList<QAction*> notForCounts_;
};

}  // namespace zek
