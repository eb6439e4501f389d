#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "commands/class_set.h"
#include "commands/control_texts.h"
#include "commands/help_texts.h"
#include "commands/open_command.h"
#include "commands/option_dialogs.h"
#include "commands/run_command.h"
#include "commands/save_command.h"
#include "ui/category_panel.h"
#include "ui/class_set_dialog.h"
#include "ui/class_set_worker.h"
#include "ui/correlation_grid_widget.h"
#include "ui/data_viewer.h"
#include "ui/design_selector.h"
#include "ui/example_box.h"
#include "ui/information_window.h"
#include "ui/names_dialog.h"
#include "ui/option_dialog.h"
#include "ui/parameter_box_widget.h"
#include "ui/user_prompts.h"
#include "ui/window_host.h"
#include "ui/window_style.h"

namespace zek {

namespace {

char UserDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 128 ? point.at(0).toLatin1() : '.';
}

QGroupBox* ColumnGroup(const QString& caption, QRect place, const QColor& colour, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(place);
    style::SetBackground(group, colour);
    return group;
}

QLineEdit* ColumnEdit(const char* name, QRect place, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    // What a parameters file can store and reopen.
    edit->setMaxLength(static_cast<int>(kMaxTextLength));
    edit->setGeometry(place);
    return edit;
}

QPushButton* ColumnButton(const char* name, const QString& caption, QRect place, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(place);
    return button;
}

}  // namespace

MainWindow::MainWindow(ProgramState& state, UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), state_(state), prompts_(prompts) {
    setObjectName(QStringLiteral("zekform"));
    setWindowTitle(QStringLiteral("ZEK: Qarn %1 ").arg(style::ToQString(kVersion)));
    setFont(style::SansSerif(10));
    style::SetBackground(this, style::kSilver);

    // The dialogs live as long as the window, so their edit boxes keep their last texts.
    seedDialog_ = new OptionDialog(
        {"TSeedForm", "Set Seed Value",
         "Enter the INTEGER seed to be used to begin the data generation process:", "txt_seed",
         nullptr},
        this);
    seedDialog_->edit()->setToolTip(
        QStringLiteral("You should set your own starting seed to a value less than 2,147,483,647"));
    namesDialog_ = new NamesDialog(this);
    reliabilityDialog_ = new OptionDialog(
        {"TRelForm", "Change Reliability",
         "Change Reliability for all Dependent Variables to:", "txt_reliability", nullptr},
        this);
    reliabilityDialog_->setText(QStringLiteral("1.0"));
    missingDialog_ =
        new OptionDialog({"TMVform", "Set Missing Values",
                          "What percentage of the data should be missing?", "txt_missing", "%"},
                         this);
    extremeDialog_ =
        new OptionDialog({"TEVform", "Set Extreme Values",
                          "What percentage of the data should be extreme?", "txt_extreme", "%"},
                         this);
    betaDialog_ = new BetaDialog(this);
    viewer_ = new DataViewer(state_, prompts_, this);
    examples_ = new ExampleBox(prompts_, this);
    about_ = InformationWindow::About(this);
    userAgreement_ = InformationWindow::UserAgreement(this);
    acknowledgements_ = InformationWindow::Acknowledgements(this);

    host_ = std::make_unique<WindowHost>(*this, prompts_, *missingDialog_, *extremeDialog_);
    model_ = std::make_unique<MainWindowModel>(state_, *host_, UserDecimalSeparator());
    // A new seed without reseeding the clock's generator, as the dialog's own button does.
    seedDialog_->AddChoice(
        QStringLiteral("Or let the computer choose it for you:"), "btn_picknewseed",
        QStringLiteral("Have the Computer Pick a New Random Seed"), [this] {
            seedDialog_->setText(QString::number(host_->ClockRandomBelow(kPickedSeedBound)));
        });

    auto* client = new QWidget(this);
    setCentralWidget(client);
    designs_ = new DesignSelector([this](DesignKind kind) { model_->SelectDesign(kind); }, client);
    for (int box = 1; box <= kBoxCount; ++box) {
        boxes_[static_cast<std::size_t>(box - 1)] = new ParameterBoxWidget(box, *model_, client);
    }
    correlations_ = new CorrelationGridWidget(*model_, client);
    categories_ = new CategoryPanel(*model_, client);
    BuildRightColumn(client);
    // The row of mixed designs under the design buttons moves everything below them down.
    constexpr int kRowsAdded = DesignSelector::kHeight - 103;
    client->setFixedSize(822, 526 + kRowsAdded);
    for (QWidget* below : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (below != designs_) below->move(below->pos() + QPoint(0, kRowsAdded));
    }
    BuildMenu();
    // The one place the window is drawn from, whichever command changed the model.
    model_->OnChange([this] { Render(); });
    Render();
    setFixedSize(sizeHint());
}

MainWindow::~MainWindow() = default;

// NOLINTNEXTLINE(readability-function-size): mostly the table of the column's rows
void MainWindow::BuildRightColumn(QWidget* client) {
    // Each group of the column holds one edit box and, but for the title, one button.
    struct ColumnRow {
        const char* caption;
        QRect group;
        QColor colour;
        const char* editName;
        QRect edit;
        QLineEdit** editField;
        void (MainWindowModel::*setText)(std::string_view);
        const char* buttonName;  ///< nullptr for none
        const char* buttonCaption;
        QRect button;
        void (MainWindowModel::*click)();
    };
    const ColumnRow rows[] = {
        {"TITLE FOR OUTPUT",
         {547, 108, 270, 42},
         style::kSkyBlue,
         "txt_title",
         {6, 16, 258, 20},
         &title_,
         &MainWindowModel::SetTitle,
         nullptr,
         nullptr,
         {},
         nullptr},
        {"SEED ",
         {547, 152, 270, 42},
         style::kSkyBlue,
         "txt_seed1",
         {6, 16, 100, 20},
         &seed_,
         &MainWindowModel::SetSeedText,
         "Button1",
         "Let ZEK set Random seed",
         {112, 15, 152, 22},
         &MainWindowModel::DrawSeedFromClock},
        {"% MISSING",
         {548, 196, 133, 42},
         style::kSkyBlue,
         "txt_missing_main",
         {6, 16, 34, 20},
         &missing_,
         &MainWindowModel::SetMissingText,
         "Button2",
         "Set to 0% missing",
         {43, 15, 86, 22},
         &MainWindowModel::SetNoneMissing},
        {"% EXTREME",
         {683, 196, 134, 42},
         style::kMoneyGreen,
         "txt_extreme_main",
         {6, 16, 34, 20},
         &extreme_,
         &MainWindowModel::SetExtremeText,
         "Button3",
         "Set to 0% extreme",
         {43, 15, 87, 22},
         &MainWindowModel::SetNoneExtreme},
    };
    for (const ColumnRow& row : rows) {
        QGroupBox* group =
            ColumnGroup(QString::fromLatin1(row.caption), row.group, row.colour, client);
        QLineEdit* edit = ColumnEdit(row.editName, row.edit, group);
        *row.editField = edit;
        connect(edit, &QLineEdit::textEdited, this,
                [this, setText = row.setText](const QString& text) {
                    ((*model_).*setText)(text.toStdString());
                });
        if (row.buttonName == nullptr) continue;
        connect(
            ColumnButton(row.buttonName, QString::fromLatin1(row.buttonCaption), row.button, group),
            &QPushButton::clicked, this, [this, click = row.click] { ((*model_).*click)(); });
    }

    QPushButton* run =
        ColumnButton("btn_run", QStringLiteral("Generate Data (F9)"), {558, 484, 260, 39}, client);
    QFont runFont = style::SansSerif(15, true);
    run->setFont(runFont);
    QPalette palette = run->palette();
    palette.setColor(QPalette::ButtonText, style::kMaroon);
    run->setPalette(palette);
    connect(run, &QPushButton::clicked, this, &MainWindow::btn_runClick);
}

QAction* MainWindow::AddItem(QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& shortcut, void (MainWindow::*command)()) {
    return AddAction(menu, QString::fromLatin1(name), caption, shortcut,
                     [this, command] { (this->*command)(); });
}

QAction* MainWindow::AddAction(QMenu* menu, const QString& name, const QString& caption,
                               const QKeySequence& shortcut, const std::function<void()>& run) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, run);
    return action;
}

QList<QAction*> MainWindow::AddEntries(QMenu* menu, const std::vector<MenuEntry>& entries) {
    QList<QAction*> actions;
    for (const MenuEntry& entry : entries) {
        if (entry.name == nullptr) {
            menu->addSeparator();
            continue;
        }
        QAction* action = AddAction(menu, QString::fromLatin1(entry.name), entry.caption,
                                    entry.shortcut, entry.run);
        if (entry.toolTip != nullptr) action->setToolTip(QString::fromLatin1(entry.toolTip));
        actions << action;
    }
    return actions;
}

void MainWindow::BuildMenu() {
    // Hints show as tool tips, the desktop's way for menus without a status bar.
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->menuAction()->setToolTip(QStringLiteral("Save Results to a Text File"));
    file->setToolTipsVisible(true);
    const MenuEntry separator{};
    AddEntries(file, {{"OpenGenerationParametersFile1",
                       QStringLiteral("Open Generation Parameters File..."),
                       {},
                       [this] { OpenGenerationParametersFile1Click(); }},
                      separator,
                      {"SaveData1", QStringLiteral("Save Comma-delimited &Data File..."),
                       QKeySequence(Qt::CTRL | Qt::Key_S), [this] { btnSaveDataClick(); },
                       "Save Data to a COMMA-DELIMITED text file"},
                      {"SaveGenerationParameters1",
                       QStringLiteral("Save Generation Parameters File..."),
                       {},
                       [this] { SaveGenerationParameters1Click(); }},
                      separator,
                      {"ViewData1", QStringLiteral("View Data && Info"), QKeySequence(Qt::Key_F2),
                       [this] { ViewData1Click(); }},
                      separator,
                      {"Exit1", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_F4),
                       [this] { close(); }, "Exit the program"}});

    AddEntries(menuBar()->addMenu(QStringLiteral("&Generate")),
               {{"Run1", QStringLiteral("&Generate Data"), QKeySequence(Qt::Key_F9),
                 [this] { btnRunClick(); }},
                {"GenerateClassSet1", QStringLiteral("Generate Class Set..."), {}, [this] {
                     GenerateClassSet1Click();
                 }}});
    // Never shown in the menu, yet its shortcut works: the action belongs to the window.
    auto* secret = new QAction(QStringLiteral("Secret Setup"), this);
    secret->setObjectName(QStringLiteral("SecretSetup1"));
    secret->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
    connect(secret, &QAction::triggered, this, [this] { model_->LoadRegressionExample(); });
    addAction(secret);

    BuildOptionsMenu();
    BuildHelpMenu();
}

// Choosing the score column that is chosen takes it away.
void MainWindow::ChooseScaleScore(ScaleScore score) {
    model_->SetScaleScore(model_->scaleScore() == score ? ScaleScore::None : score);
}

void MainWindow::BuildOptionsMenu() {
    QMenu* options = menuBar()->addMenu(QStringLiteral("Options"));
    const MenuEntry separator{};
    const QList<QAction*> actions = AddEntries(
        options, {{"ResettoStartup1",
                   QStringLiteral("Reset to Startup"),
                   {},
                   [this] { model_->ResetToStartup(); }},
                  separator,
                  {"Reliability1", QStringLiteral("Change Reliability..."),
                   QKeySequence(Qt::Key_F5), [this] { Reliability1Click(); }},
                  {"ExactSampleStatistics1",
                   QStringLiteral("Exact Sample Statistics"),
                   {},
                   [this] { model_->ToggleExactStatistics(); },
                   "The data's means, SDs and correlations are exactly the ones set, as the "
                   "data file writes them"},
                  {"RepeatedMeasures1",
                   QStringLiteral("Repeated Measures"),
                   {},
                   [this] { model_->ToggleRepeatedMeasures(); },
                   "The variables are occasions of one outcome measured on the same cases; the "
                   "answer key adds the repeated-measures ANOVA"},
                  {"ScaleItems1",
                   QStringLiteral("Scale (Items of One Construct)"),
                   {},
                   [this] { model_->ToggleScaleItems(); },
                   "The correlated variables are items of one scale; the answer key adds its "
                   "reliability (Cronbach's alpha)"},
                  {"ScaleSum1",
                   QStringLiteral("Scale Score Column: Sum of Items"),
                   {},
                   [this] { ChooseScaleScore(ScaleScore::Sum); },
                   "The data file ends with each case's sum of the items, reverse-keyed ones "
                   "reversed"},
                  {"ScaleMean1",
                   QStringLiteral("Scale Score Column: Mean of Items"),
                   {},
                   [this] { ChooseScaleScore(ScaleScore::Mean); },
                   "The data file ends with each case's mean of the items, reverse-keyed ones "
                   "reversed"},
                  {"SetCorrelationsfromAlpha1",
                   QStringLiteral("Set Correlations from Alpha..."),
                   {},
                   [this] { SetCorrelationsfromAlpha1Click(); },
                   "Sets every correlation of the grid to the one that gives the items this "
                   "standardised alpha"},
                  {"LongLayout1",
                   QStringLiteral("Long Layout"),
                   {},
                   [this] { model_->ToggleLongLayout(); },
                   "With repeated measures, the data files hold one row per case and occasion "
                   "(id, group, occasion, score) instead of one row per case"},
                  {"NamesandLabels1",
                   QStringLiteral("Names and Labels..."),
                   {},
                   [this] { NamesandLabels1Click(); },
                   "Names and labels of the data file's columns and of the groups' levels"},
                  {"CopyCell1toallcells1", QStringLiteral("Copy Cell 1 Setup to All Cells"),
                   QKeySequence(Qt::Key_F10), [this] { model_->CopyCellOneToAllCells(); }},
                  separator,
                  {"Allowallavailabledistributions1",
                   QStringLiteral("Allow all available distributions"),
                   {},
                   [this] { model_->ToggleAllDistributions(); }},
                  separator,
                  {"SetIntegerSeed1", QStringLiteral("Set Integer Seed..."),
                   QKeySequence(Qt::Key_F6), [this] { SetIntegerSeed1Click(); }},
                  {"SetMissingValues1", QStringLiteral("Set % Missing Values..."),
                   QKeySequence(Qt::Key_F7), [this] { SetMissingValues1Click(); }},
                  {"SetExtremeValues1", QStringLiteral("Set % Extreme Values..."),
                   QKeySequence(Qt::Key_F8), [this] { SetExtremeValues1Click(); }},
                  separator});
    // "Allow all available distributions" always shows its check mark; choosing it does not
    // take it away.
    const auto named = [&actions](const QString& name) {
        return *std::find_if(actions.begin(), actions.end(), [&name](const QAction* action) {
            return action->objectName() == name;
        });
    };
    QAction* allow = named(QStringLiteral("Allowallavailabledistributions1"));
    allow->setCheckable(true);
    allow->setChecked(true);
    connect(allow, &QAction::toggled, allow, [allow] { allow->setChecked(true); });
    // Its mark follows the option, which Render shows.
    exactItem_ = named(QStringLiteral("ExactSampleStatistics1"));
    exactItem_->setCheckable(true);
    repeatedItem_ = named(QStringLiteral("RepeatedMeasures1"));
    repeatedItem_->setCheckable(true);
    longItem_ = named(QStringLiteral("LongLayout1"));
    longItem_->setCheckable(true);
    scaleItem_ = named(QStringLiteral("ScaleItems1"));
    scaleItem_->setCheckable(true);
    scaleSumItem_ = named(QStringLiteral("ScaleSum1"));
    scaleSumItem_->setCheckable(true);
    scaleMeanItem_ = named(QStringLiteral("ScaleMean1"));
    scaleMeanItem_->setCheckable(true);
    // What counts have no use for: scores' reliability, shapes, extremes and occasions.
    for (const char* name :
         {"Reliability1", "RepeatedMeasures1", "LongLayout1", "ScaleItems1", "ScaleSum1",
          "ScaleMean1", "SetCorrelationsfromAlpha1", "CopyCell1toallcells1", "SetExtremeValues1"}) {
        notForCounts_.push_back(named(QString::fromLatin1(name)));
    }

    // One check-mark group; none is checked at start-up although the pair starts at 2 and 6.
    betaItems_ = new QActionGroup(this);
    betaItems_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const BetaPreset& preset : BetaPresets()) {
        QAction* action = AddAction(options, QString::fromLatin1(preset.name),
                                    QString::fromLatin1(preset.caption), {},
                                    [this, &preset] { ApplyBetaPreset(preset, state_.setup); });
        action->setCheckable(true);
        betaItems_->addAction(action);
        // Choosing the checked item again keeps its mark.
        connect(action, &QAction::triggered, action, [action] { action->setChecked(true); });
    }
    betaOther_ = AddItem(options, "Betaother1", QStringLiteral("Beta (other)..."), {},
                         &MainWindow::Betaother1Click);
    betaOther_->setCheckable(true);
    betaItems_->addAction(betaOther_);
}

void MainWindow::BuildHelpMenu() {
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    AddItem(help, "HintforMeanandSDValues1", QStringLiteral("Hint for Mean and SD Values..."), {},
            &MainWindow::HintforMeanandSDValues1Click);
    AddItem(help, "HintforRepeatedMeasures1", QStringLiteral("Hint for Repeated Measures..."), {},
            &MainWindow::HintforRepeatedMeasures1Click);
    AddItem(help, "HintforCategoricalData1", QStringLiteral("Hint for Categorical Data..."), {},
            &MainWindow::HintforCategoricalData1Click);
    AddItem(help, "HintforLogisticRegression1", QStringLiteral("Hint for Logistic Regression..."),
            {}, &MainWindow::HintforLogisticRegression1Click);
    help->addSeparator();
    QMenu* howTo = help->addMenu(QStringLiteral("How To Hints..."));
    howTo->setObjectName(QStringLiteral("SomeExamples1"));
    for (const HowToItem& item : HowToItems()) {
        QAction* action =
            AddAction(howTo, style::ToQString(item.name), style::ToQString(item.caption), {},
                      [this, topic = item.topic] { ShowHowTo(topic); });
        // The analyses without a recipe stand in the list, disabled.
        action->setEnabled(RecipeOf(item.topic).has_value());
    }
    const MenuEntry separator{};
    AddEntries(help, {separator,
                      {"Acknowledgments1",
                       QStringLiteral("Acknowledgments"),
                       {},
                       [this] { acknowledgements_->exec(); }},
                      {"UserAgreement1",
                       QStringLiteral("User Agreement"),
                       {},
                       [this] { userAgreement_->exec(); }},
                      separator,
                      {"WhatsNew1", QStringLiteral("What's New"), {}, [this] { WhatsNew1Click(); }},
                      separator,
                      {"About1", QStringLiteral("&About ZEK"), {}, [this] { btnAboutClick(); }}});
}

// The help texts are written with the report's line ends; a message box wants its own.
void MainWindow::ShowHelpText(const std::string& text) {
    prompts_.Message(
        this, QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void MainWindow::HintforMeanandSDValues1Click() {
    ShowHelpText(MeanAndSdHint());
}

void MainWindow::HintforRepeatedMeasures1Click() {
    ShowHelpText(RepeatedMeasuresHint());
}

void MainWindow::HintforCategoricalData1Click() {
    ShowHelpText(CategoricalDataHint());
}

void MainWindow::HintforLogisticRegression1Click() {
    ShowHelpText(LogisticRegressionHint());
}

void MainWindow::SetCorrelationsfromAlpha1Click() {
    const std::optional<QString> alpha =
        prompts_.AskText(this, QStringLiteral("Cronbach's alpha of the items (between 0 and 1):"),
                         QStringLiteral("0.8"));
    if (!alpha) return;
    if (const Verdict verdict = model_->SetCorrelationsFromAlpha(alpha->toStdString())) {
        prompts_.Message(this, QString::fromStdString(verdict->message));
    }
}

void MainWindow::WhatsNew1Click() {
    ShowHelpText(WhatsNew());
}

void MainWindow::btnAboutClick() {
    about_->exec();
}

void MainWindow::ShowHowTo(HowTo topic) {
    const std::optional<Recipe> recipe = RecipeOf(topic);
    if (!recipe) return;
    // The recipe's design is selected as a click on its button would select it.
    model_->SelectDesign(recipe->design);
    std::string pdfFileName = "How To";
    for (const HowToItem& item : HowToItems()) {
        if (item.topic == topic) pdfFileName += " " + std::string(item.caption);
    }
    examples_->ShowRecipe(pdfFileName + ".pdf", recipe->lines);
}

template <typename Command>
void MainWindow::WithFileErrorsShown(Command command) {
    try {
        command();
    } catch (const FileError& error) {
        prompts_.Message(this, QString::fromStdString(error.what()));
    }
}

void MainWindow::btn_runClick() {
    state_.reportFooterLines = AboutIdentificationLines();
    btnRunClick();
}

void MainWindow::btnRunClick() {
    const RunOutcome outcome = RunCommand(*model_, state_, *host_);
    if (outcome != RunOutcome::Generated) return;
    WithFileErrorsShown([this] { AfterRunSave(model_->Texts(), state_, *host_); });
}

std::optional<ClassSetRequest> MainWindow::AskForClassSet() {
    ClassSetDialog dialog(prompts_, KeyFigureNamesOf(state_), this);
    dialog.firstSeed()->setText(QString::fromStdString(OfferedFirstSeed(state_, *model_)));
    // The dialog comes back, as the user left it, until its answers can be used.
    while (dialog.exec() == QDialog::Accepted) {
        const Checked<ClassSetRequest> request = ReadClassSetForm(dialog.Form());
        if (!request) {
            prompts_.Message(this, QString::fromStdString(request.refusal().message));
            continue;
        }
        if (!OfferToCreateFolderOf(*request)) continue;
        const std::vector<std::string> existing = ExistingClassSetFiles(*request);
        if (existing.empty() ||
            prompts_.Question(
                this, QString::fromStdString(ReplaceClassSetQuestion(*request, existing)))) {
            return *request;
        }
    }
    return std::nullopt;
}

bool MainWindow::OfferToCreateFolderOf(const ClassSetRequest& request) {
    if (ClassSetFolderExists(request)) return true;
    const QString name = QString::fromStdString(FolderOfClassSet(request));
    if (!prompts_.Question(this,
                           QStringLiteral("The folder %1 does not exist. Create it?").arg(name))) {
        return false;
    }
    if (const std::string reason = CreateFolderOfClassSet(request); !reason.empty()) {
        prompts_.Message(this, QStringLiteral("Cannot create folder \"%1\": %2")
                                   .arg(name, QString::fromStdString(reason)));
        return false;
    }
    return true;
}

void MainWindow::GenerateClassSet1Click() {
    const std::optional<ClassSetRequest> request = AskForClassSet();
    if (!request) return;
    // Every report of the set ends with the about window's lines, as after the Generate button.
    state_.reportFooterLines = AboutIdentificationLines();

    // The first dataset's run may show the Run command's messages, so the progress opens
    // only once it has passed, and never hides a refusal.
    ClassSetRun run(*model_, state_, *host_, *request);
    if (run.refused()) return;
    QProgressDialog progress(QStringLiteral("Writing the datasets..."), QStringLiteral("Cancel"), 0,
                             request->count, this);
    progress.setObjectName(QStringLiteral("ClassSetProgress"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);

    // The worker writes while the window waits here, drawing the progress; until it has
    // finished, nothing else may touch the program's state, which the modal progress
    // ensures.
    ClassSetWorker worker(run);
    QEventLoop waiting;
    const auto stop = [&] {
        worker.Stop();
        progress.setLabelText(QStringLiteral("Stopping after the datasets under way..."));
    };
    connect(&progress, &QProgressDialog::canceled, &worker, stop);
    connect(&worker, &ClassSetWorker::datasetWritten, &progress, [&](int index) {
        if (progress.wasCanceled()) return stop();
        progress.setValue(index);
        progress.setLabelText(
            QStringLiteral("Dataset %1 of %2 written").arg(index).arg(request->count));
    });
    connect(&worker, &ClassSetWorker::finished, &waiting, &QEventLoop::quit);
    worker.Start();
    waiting.exec();
    // Closed before anything is said, so that no message opens beneath it.
    progress.hide();
    if (const std::optional<QString>& failure = worker.failure()) {
        const QString written = ClassSetSummary(*request, worker.result());
        prompts_.Message(this, written.isEmpty() ? *failure : *failure + "\n" + written);
        return;
    }
    prompts_.Message(this, ClassSetSummary(*request, worker.result()));
}

QString MainWindow::StudentFilesSummary(const ClassSetRequest& request) {
    QString text;
    if (!request.handoutsFile.empty()) {
        text += QStringLiteral("\nHandouts: %1").arg(QString::fromStdString(request.handoutsFile));
    }
    if (WritesQuiz(request)) {
        text += QStringLiteral("\nMoodle quiz: %1").arg(QString::fromStdString(request.quizFile));
    }
    return text;
}

QString MainWindow::ClassSetSummary(const ClassSetRequest& request, const ClassSetResult& result) {
    const auto count = static_cast<int>(result.datasets.size());
    if (count == 0) return {};
    if (request.count == 1) {
        return QStringLiteral("1 dataset written: %1.")
                   .arg(QString::fromStdString(request.dataFile)) +
               StudentFilesSummary(request);
    }
    const QString key = QString::fromStdString(ClassKeyFileOf(request));
    QString text =
        count == request.count
            ? QStringLiteral("%1 datasets written").arg(count)
            : QStringLiteral("Stopped after %1 of %2 datasets").arg(count).arg(request.count);
    if (result.earlierRemoved > 0) {
        text += QStringLiteral("; %1 datasets of the earlier set under these names were removed")
                    .arg(result.earlierRemoved);
    }
    if (!request.keys) return text + "." + StudentFilesSummary(request);
    return (count == request.count
                ? text + QStringLiteral(", with the class key %1.").arg(key)
                : text + QStringLiteral("; the class key %1 lists those written.").arg(key)) +
           StudentFilesSummary(request);
}

void MainWindow::btnSaveDataClick() {
    // The names the dialog holds now, whatever they were when the data were generated.
    if (state_.flags.dataGenerated) {
        if (const Verdict verdict = AdoptNamesForSave(model_->Texts().columnNames, state_)) {
            prompts_.Message(this, QString::fromStdString(verdict->message));
            return;
        }
    }
    WithFileErrorsShown([this] { SaveDataFiles(state_, *host_); });
}

void MainWindow::SaveGenerationParameters1Click() {
    WithFileErrorsShown([this] { SaveParametersFile(model_->Texts(), state_, *host_); });
}

void MainWindow::OpenGenerationParametersFile1Click() {
    const std::optional<QString> path =
        prompts_.OpenFileName(this, QStringLiteral("ZEK_parameters"));
    if (!path) return;
    WithFileErrorsShown(
        [this, &path] { OpenParametersFile(path->toStdString(), *model_, state_, *host_); });
}

void MainWindow::ViewData1Click() {
    if (const Verdict verdict = CheckCanView(state_.flags)) {
        prompts_.Message(this, QString::fromStdString(verdict->message));
        return;
    }
    std::vector<QString> captions;
    for (int box = 1; box <= kBoxCount; ++box) {
        captions.push_back(QString::fromStdString(model_->Box(box).caption));
    }
    viewer_->LoadViewer(model_->design(), model_->repeatedMeasures(), std::move(captions));
}

void MainWindow::SetIntegerSeed1Click() {
    seedDialog_->setText(model_->seed().empty()
                             ? QString::number(host_->ClockRandomBelow(kPickedSeedBound))
                             : QString::fromStdString(model_->seed()));
    const std::string accepted = AskUntilAccepted(
        [this] { return seedDialog_->AskOnce().toStdString(); },
        [this](std::string_view text) { return AcceptSeed(text, state_.setup); }, *host_);
    model_->SetSeedText(accepted);
}

void MainWindow::NamesandLabels1Click() {
    const ColumnNames& kept = model_->columnNames();
    if (std::optional<ColumnNames> names =
            namesDialog_->Ask(NameRowsOf(state_.setup, kept), kept, prompts_)) {
        model_->SetColumnNames(std::move(*names));
    }
}

void MainWindow::Reliability1Click() {
    AskUntilAccepted([this] { return reliabilityDialog_->AskOnce().toStdString(); },
                     [this](std::string_view text) {
                         return AcceptReliability(text, model_->decimalSeparator(), state_.setup);
                     },
                     *host_);
}

void MainWindow::AskPercentageUntilAccepted(PercentageKind kind) {
    const bool missing = kind == PercentageKind::Missing;
    const std::optional<std::string> accepted = zek::AskPercentageUntilAccepted(
        kind, missing ? model_->missing() : model_->extreme(), state_.setup, *host_);
    if (!accepted) return;
    if (missing) {
        model_->SetMissingText(*accepted);
    } else {
        model_->SetExtremeText(*accepted);
    }
}

void MainWindow::SetMissingValues1Click() {
    AskPercentageUntilAccepted(PercentageKind::Missing);
}

void MainWindow::SetExtremeValues1Click() {
    AskPercentageUntilAccepted(PercentageKind::Extreme);
}

void MainWindow::Betaother1Click() {
    betaOther_->setChecked(true);
    betaDialog_->low()->setText(QString::number(state_.setup.betaLow));
    betaDialog_->high()->setText(QString::number(state_.setup.betaHigh));
    if (betaDialog_->exec() != QDialog::Accepted) return;
    const Verdict verdict = AcceptBetaPair(betaDialog_->low()->text().toStdString(),
                                           betaDialog_->high()->text().toStdString(), state_.setup);
    if (verdict) prompts_.Message(this, QString::fromStdString(verdict->message));
}

void MainWindow::Render() {
    designs_->Render(model_->design());
    for (int box = 1; box <= kBoxCount; ++box) {
        boxes_[static_cast<std::size_t>(box - 1)]->Render(model_->Box(box));
    }
    correlations_->Render(*model_);
    // A categorical design shows its panel of counts where the boxes stand, and no grid.
    categories_->Render(*model_);
    correlations_->setVisible(Design(model_->design()).family != DesignFamily::Categorical);
    const auto setText = [](QLineEdit* edit, const std::string& text) {
        const QString wanted = QString::fromStdString(text);
        if (edit->text() != wanted) edit->setText(wanted);
    };
    setText(title_, model_->title());
    setText(seed_, model_->seed());
    setText(missing_, model_->missing());
    setText(extreme_, model_->extreme());
    exactItem_->setChecked(model_->exactStatistics());
    const bool counts = Design(model_->design()).family == DesignFamily::Categorical;
    const QString notForCounts =
        counts ? QStringLiteral("Does not apply to counts in categories") : QString();
    for (QAction* action : notForCounts_) {
        action->setEnabled(!counts);
        action->setToolTip(counts ? notForCounts : action->text());
    }
    for (QAction* action : betaItems_->actions()) action->setEnabled(!counts);
    for (QWidget* control :
         {static_cast<QWidget*>(extreme_), findChild<QWidget*>(QStringLiteral("Button3"))}) {
        control->setEnabled(!counts);
        control->setToolTip(notForCounts);
    }
    repeatedItem_->setChecked(model_->repeatedMeasures());
    longItem_->setChecked(model_->longLayout());
    scaleItem_->setChecked(model_->scaleItems());
    scaleSumItem_->setChecked(model_->scaleScore() == ScaleScore::Sum);
    scaleMeanItem_->setChecked(model_->scaleScore() == ScaleScore::Mean);
    const QString focus = host_->TakePendingFocus();
    if (!focus.isEmpty()) {
        if (auto* control = findChild<QWidget*>(focus);
            control && control->isVisible() && control->isEnabled()) {
            control->setFocus(Qt::OtherFocusReason);
        }
    }
}

}  // namespace zek
