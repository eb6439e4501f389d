// The real widgets, driven offscreen as a user drives them: typing, clicking, keys, modal
// dialogs answered from a timer. What the model's own tests cover is not repeated here.
#include "ui/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include "commands/data_viewer_text.h"
#include "commands/names_form.h"
#include "commands/save_command.h"
#include "recording_prompts.h"
#include "support/last_of.h"
#include "support/process.h"
#include "support/text_files.h"
#include "ui/class_set_dialog.h"
#include "ui/data_viewer.h"
#include "ui/example_box.h"
#include "ui/option_dialog.h"
#include "ui/plot_page.h"

namespace zek {
namespace {

// Answers the modal dialogs the window opens, one answer per showing, in order, from a timer
// (a modal dialog runs its own event loop, so the test cannot answer it directly).
class ModalAnswers {
  public:
    using Answer = std::function<void(QWidget*)>;

    explicit ModalAnswers(std::deque<Answer> answers) : answers_(std::move(answers)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->isVisible()) return;
            // A progress dialog asks nothing; it is answered only where a test means to.
            if (answers_.empty() && qobject_cast<QProgressDialog*>(modal) != nullptr) return;
            if (answers_.empty()) {
                ADD_FAILURE() << "an unexpected dialog: " << modal->objectName().toStdString();
                // A dialog that the window shows again until it is answered would keep the
                // test waiting for ever; after a few showings the test program stops, failed.
                if (++unexpected_ > kUnexpectedDialogsTolerated) {
                    std::fprintf(stderr, "stopping: the dialog %s keeps coming back\n",
                                 qPrintable(modal->objectName()));
                    std::_Exit(EXIT_FAILURE);
                }
                modal->close();
                return;
            }
            shown.push_back(modal->objectName());
            Answer answer = std::move(answers_.front());
            answers_.pop_front();
            answer(modal);
        });
        timer_.start(5);
    }
    bool AllUsed() const { return answers_.empty(); }
    QStringList shown;

  private:
    static constexpr int kUnexpectedDialogsTolerated = 5;
    std::deque<Answer> answers_;
    QTimer timer_;
    int unexpected_ = 0;
};

// Types `text` into the dialog's edit box and presses OK.
ModalAnswers::Answer Type(const QString& text) {
    return [text](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        edit->clear();
        QTest::keyClicks(edit, text);
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
        ok->click();
    };
}

ModalAnswers::Answer BetaPair(const QString& low, const QString& high) {
    return [low, high](QWidget* dialog) {
        auto* beta = static_cast<BetaDialog*>(dialog);
        beta->low()->setText(low);
        beta->high()->setText(high);
        beta->findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    };
}

class MainWindowTest : public ::testing::Test {
  protected:
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    testing::RecordingPrompts prompts;
    MainWindow window{*state, prompts};

    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    template <typename Widget = QWidget>
    Widget* Find(const char* name) {
        auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
};

TEST_F(MainWindowTest, OpensWithItsCaptionAndClientArea) {
    EXPECT_EQ(window.windowTitle(), QString("ZEK: Qarn 18.9.8 "));
    // The mixed designs' row under the design buttons adds 20 pixels.
    EXPECT_EQ(window.centralWidget()->size(), QSize(822, 566));
    EXPECT_TRUE(Find<QRadioButton>("rdo_2groups")->isChecked());
    EXPECT_TRUE(Find("box_group2")->isVisible());
    EXPECT_FALSE(Find("box_group3")->isVisible());
    EXPECT_EQ(Find<QLineEdit>("txt_seed1")->text(), "1804");
    EXPECT_FALSE(Find<QLineEdit>("txt_r12")->isEnabled());
}

TEST_F(MainWindowTest, ControlsStandWhereTheHandoutsShowThem) {
    auto placeInClient = [this](const char* name) {
        QWidget* widget = Find(name);
        return widget->mapTo(window.centralWidget(), QPoint(0, 0));
    };
    // Everything under the design buttons stands 40 pixels lower for the rows of the mixed
    // designs and of the logistic regressions.
    EXPECT_EQ(placeInClient("box_group1"), QPoint(4, 112 + 40));
    EXPECT_EQ(placeInClient("box_group8"), QPoint(412, 320 + 40));
    EXPECT_EQ(placeInClient("btn_run"), QPoint(558, 484 + 40));
    EXPECT_EQ(placeInClient("rdo_mixed4occ") - placeInClient("rdo_mixed3occ"), QPoint(30, 0));
    EXPECT_EQ(placeInClient("rdo_logistic1") - placeInClient("rdo_mixed3occ"), QPoint(92, 20));
    EXPECT_EQ(placeInClient("rdo_corr4") - placeInClient("boxstatisticaltest"), QPoint(614, 82));
    EXPECT_EQ(placeInClient("rdo_2dv2x2") - placeInClient("boxstatisticaltest"), QPoint(466, 42));
    EXPECT_EQ(placeInClient("rdo_2x2x2") - placeInClient("boxstatisticaltest"), QPoint(456, 82));
    EXPECT_EQ(placeInClient("txt_r78") - placeInClient("box_correlations"),
              QPoint(22 + 28 * 6, 36 + 24 * 6));

    // A click at rdo_corr4's place selects Correlated4.
    QWidget* client = window.centralWidget();
    QWidget* target = client->childAt(QPoint(4 + 614 + 6, 2 + 82 + 8));
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    EXPECT_EQ(window.model().design(), DesignKind::Correlated4);
    EXPECT_TRUE(Find<QLineEdit>("txt_r34")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("txt_r45")->isEnabled());

    // So does a click on the mixed designs' row, which nothing below it covers.
    const QPoint mixed = placeInClient("rdo_mixed3occ") + QPoint(6, 8);
    target = client->childAt(mixed);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(client, mixed));
    EXPECT_EQ(window.model().design(), DesignKind::MixedOccasions3);
    EXPECT_EQ(window.model().Box(6).caption, "GROUP 2, OCC 2");
}

TEST_F(MainWindowTest, TypingAndTickingReachTheModelAndTheModelsChangesShow) {
    Find<QRadioButton>("rdo_regression3")->click();
    QLineEdit* n1 = Find<QLineEdit>("txt_n1");
    n1->selectAll();
    QTest::keyClicks(n1, "40");
    EXPECT_EQ(Find<QLineEdit>("txt_n4")->text(), "40");
    EXPECT_FALSE(Find<QLineEdit>("txt_n4")->isEnabled());

    QTest::mouseClick(Find<QRadioButton>("rdo_uniform2"), Qt::LeftButton);
    EXPECT_EQ(Find<QLineEdit>("txt_mean2")->text(), "0.5000");
    EXPECT_TRUE(Find<QLineEdit>("txt_mean2")->isReadOnly());
    EXPECT_TRUE(Find<QLineEdit>("txt_min2")->isVisible());
    EXPECT_FALSE(Find<QCheckBox>("chk_min2")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Find("txt_min2"));
    QTest::keyClicks(Find<QLineEdit>("txt_max2"), "0");  // Max becomes 10
    EXPECT_EQ(Find<QLineEdit>("txt_mean2")->text(), "5.0000");
}

// The scale's alpha is asked in a prompt and fills the grid; a wrong one is said and changes
// nothing; the option's mark follows the model.
TEST_F(MainWindowTest, ItemsOfAScaleTakeTheirCorrelationsFromAnAlpha) {
    Find<QRadioButton>("rdo_corr4")->click();
    prompts.textAnswers = {QStringLiteral("0.8"), QStringLiteral("1.5"), std::nullopt};
    Find<QAction>("SetCorrelationsfromAlpha1")->trigger();
    EXPECT_EQ(Find<QLineEdit>("txt_r34")->text(), QStringLiteral("0.5000"));
    Find<QAction>("SetCorrelationsfromAlpha1")->trigger();
    EXPECT_EQ(testing::LastOf(prompts.messages),
              QStringLiteral("Cronbach's alpha must be a number between 0 and 1"));
    Find<QAction>("SetCorrelationsfromAlpha1")->trigger();  // cancelled
    EXPECT_EQ(prompts.textLabels.size(), 3);
    EXPECT_EQ(Find<QLineEdit>("txt_r12")->text(), QStringLiteral("0.5000"));

    QAction* scale = Find<QAction>("ScaleItems1");
    EXPECT_FALSE(scale->isChecked());
    scale->trigger();
    EXPECT_TRUE(scale->isChecked());
    EXPECT_TRUE(window.model().scaleItems());
}

TEST_F(MainWindowTest, ABadMissingPercentageLoopsThroughItsDialogUntilAccepted) {
    window.model().SetMissingText("150");
    ModalAnswers answers({Type("150"), Type("abc"), Type("20")});
    window.btnRunClick();
    EXPECT_TRUE(answers.AllUsed());
    EXPECT_EQ(answers.shown, QStringList({"TMVform", "TMVform", "TMVform"}));
    const QString range =
        "Percentage of MISSING VALUES should be an appropriate numeric value between 0 and 100";
    EXPECT_EQ(prompts.messages.mid(0, 3), QStringList({range, range, range}));
    EXPECT_EQ(Find<QLineEdit>("txt_missing_main")->text(), "20");
    EXPECT_EQ(state->setup.missingPercent, 20);
    EXPECT_TRUE(state->flags.dataGenerated);
}

// "Names and Labels...": a row per column and per level; a bad name is refused naming its
// row and the dialog comes back as left; OK with good rows names the data file's columns.
TEST_F(MainWindowTest, NamesAndLabelsAreTypedInTheirDialogAndCheckedByRow) {
    QStringList columns;
    auto typeRows = [&](const QString& dvName) {
        return [&, dvName](QWidget* dialog) {
            auto* table = dialog->findChild<QTableWidget*>("tbl_names");
            columns.clear();
            for (int r = 0; r < table->rowCount(); ++r) columns << table->item(r, 0)->text();
            table->item(1, 1)->setText("condition");  // group
            table->item(2, 2)->setText("Placebo");    // group = 1
            table->item(4, 1)->setText(dvName);       // dv
            table->item(4, 2)->setText("Words recalled");
            dialog->findChild<QPushButton*>("btnOK")->click();
        };
    };
    // Tab goes from one cell that takes text to the next, and after the last on to OK.
    auto tabThrough = [](QWidget* dialog) {
        auto* table = dialog->findChild<QTableWidget*>("tbl_names");
        // Keys go to the focused widget of the active window, and a dialog still being shown
        // gives the focus to its first control when it becomes active: the table takes the
        // focus once that has happened, within a second.
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog, 5000));
        for (int wait = 0; wait < 50 && QApplication::focusWidget() != table; ++wait) {
            table->setFocus();
            QTest::qWait(20);
        }
        ASSERT_TRUE(table->hasFocus());
        table->setCurrentCell(0, 1);
        QStringList visited;
        for (int press = 0; press < 12 && table->hasFocus(); ++press) {
            visited << QStringLiteral("%1,%2").arg(table->currentRow()).arg(table->currentColumn());
            QTest::keyClick(table, Qt::Key_Tab);
        }
        EXPECT_EQ(visited, QStringList({"0,1", "0,2", "1,1", "1,2", "2,2", "3,2", "4,1", "4,2"}));
        EXPECT_EQ(QApplication::focusWidget(), dialog->findChild<QPushButton*>("btnOK"));
        dialog->findChild<QPushButton*>("btnCancel")->click();
    };
    {
        ModalAnswers tabbing({tabThrough});
        Find<QAction>("NamesandLabels1")->trigger();
        EXPECT_TRUE(tabbing.AllUsed());
    }

    ModalAnswers answers({typeRows("2nd"), typeRows("recall")});
    Find<QAction>("NamesandLabels1")->trigger();
    EXPECT_TRUE(answers.AllUsed());
    EXPECT_EQ(answers.shown, QStringList({"TNamesForm", "TNamesForm"}));
    EXPECT_EQ(columns, QStringList({"id", "group", "   = 1", "   = 2", "dv"}));
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.messages.front().startsWith("dv: A NAME must begin with a letter"))
        << prompts.messages.front().toStdString();
    const ColumnNames& names = window.model().columnNames();
    EXPECT_EQ(names.NameOf("dv"), "recall");
    EXPECT_EQ(names.LevelLabelOf("group", 1), "Placebo");
    EXPECT_EQ(names.LabelOf("dv"), "Words recalled");

    testing::TemporaryFolder folder;
    prompts.saveAnswers = {QString::fromStdString((folder.path() / "story.csv").string())};
    window.btnRunClick();
    EXPECT_TRUE(testing::Contents(folder.path() / "story.csv").starts_with("id,condition,recall"));
    // The plot page's panels are called by the names too.
    window.ViewData1Click();
    window.viewer().TogglePlots();
    ASSERT_TRUE(window.viewer().showingPlots());
    const std::vector<QString>& captions = window.viewer().plots()->captions();
    ASSERT_GE(captions.size(), 2u);
    EXPECT_EQ(captions[0], "Placebo: recall");
    EXPECT_EQ(captions[1], "condition 2: recall");
}

TEST_F(MainWindowTest, TheSeedDialogOffersARandomSeedForAnEmptySeedBox) {
    window.model().SetSeedText("");
    QString offered;
    ModalAnswers answers({[&](QWidget* dialog) {
                              offered = dialog->findChild<QLineEdit*>("txt_seed")->text();
                              Type("12x")(dialog);
                          },
                          Type("-77")});
    window.SetIntegerSeed1Click();
    bool isNumber = false;
    const int seed = offered.toInt(&isNumber);
    EXPECT_TRUE(isNumber && seed >= 0 && seed < 10000000) << offered.toStdString();
    EXPECT_EQ(prompts.messages, QStringList({"Seed must be an INTEGER value"}));
    EXPECT_EQ(Find<QLineEdit>("txt_seed1")->text(), "-77");
    EXPECT_EQ(state->setup.seed, -77);
}

TEST_F(MainWindowTest, TheReliabilityDialogAcceptsOnlyOneHundredthToOne) {
    const QString range = "Reliability must be greater than 0.0 and less than or equal to 1.0";
    {
        ModalAnswers answers({Type("0.005"), Type("1.0001"), Type("abc"), Type("0.01")});
        window.Reliability1Click();
        EXPECT_EQ(answers.shown.size(), 4);
    }
    EXPECT_EQ(prompts.messages, QStringList({range, range, "Reliability must be a numeric value"}));
    EXPECT_EQ(state->setup.reliability, 0.01);
    ModalAnswers again({Type("1")});
    window.Reliability1Click();
    EXPECT_EQ(state->setup.reliability, 1.0);
}

TEST_F(MainWindowTest, EscapeDoesNotLeaveADialogThatNeedsAnAcceptedValue) {
    bool stillOpen = false;
    ModalAnswers answers({[&](QWidget* dialog) {
        QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Escape);
        stillOpen = dialog->isVisible();
        Type("0.5")(dialog);
    }});
    window.Reliability1Click();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(state->setup.reliability, 0.5);
    EXPECT_FALSE(window.findChild<QWidget*>("TRelForm")->windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(MainWindowTest, AFileThatCannotBeWrittenIsNamedAndTheDataCanBeSavedAgain) {
    testing::TemporaryFolder folder;
    const QString missingFolder =
        QString::fromStdString((folder.path() / "gone" / "a.csv").string());
    prompts.saveAnswers = {missingFolder};
    window.btnRunClick();
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains(missingFolder));
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains("No such file or directory"));
    EXPECT_TRUE(state->flags.dataGenerated);
    EXPECT_FALSE(state->flags.filesSaved);
    prompts.saveAnswers = {QString::fromStdString((folder.path() / "a.csv").string())};
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(state->flags.filesSaved);
}

TEST_F(MainWindowTest, BetaPairsOutOfRangeNeverReachTheGenerator) {
    struct Case {
        QString low, high;
        int wantLow, wantHigh;
        bool message;
    };
    for (const Case& c :
         {Case{"3", "2", 2, 2, true}, Case{"2", "11", 2, 6, true}, Case{"x", "6", 2, 6, true},
          Case{"11", "15", 2, 6, true}, Case{"3", "7", 3, 7, false}}) {
        prompts.messages.clear();
        ModalAnswers answers({BetaPair(c.low, c.high)});
        window.Betaother1Click();
        EXPECT_EQ(state->setup.betaLow, c.wantLow) << c.low.toStdString();
        EXPECT_EQ(state->setup.betaHigh, c.wantHigh) << c.high.toStdString();
        EXPECT_EQ(prompts.messages.size(), c.message ? 1 : 0);
    }
    EXPECT_TRUE(Find<QAction>("Betaother1")->isChecked());
    Find<QAction>("Beta2101")->trigger();
    EXPECT_EQ(state->setup.betaHigh, 10);
    EXPECT_TRUE(Find<QAction>("Beta2101")->isChecked());
    EXPECT_FALSE(Find<QAction>("Betaother1")->isChecked());
}

TEST_F(MainWindowTest, SavedFilesAreThoseZekGenerateWritesFromTheSavedSetup) {
    testing::TemporaryFolder temporary;
    const QString folder = QString::fromStdString(temporary.path().string());
    Find<QRadioButton>("rdo_corr3")->click();
    window.model().SetCorrelationText(1, 2, "0.4");
    window.model().SelectShape(2, DistributionKind::SkewPos);
    window.model().SetMissingText("5");
    prompts.saveAnswers = {folder + "/scores.csv"};
    QTest::mouseClick(Find("btn_run"), Qt::LeftButton);
    EXPECT_EQ(prompts.messages,
              QStringList({"You can VIEW and PRINT the saved Data and Information by choosing "
                           "VIEW... under the FILE menu (or press F2)"}));
    const auto path = temporary.path();
    const testing::ProcessResult again =
        testing::RunInFolder(path, ZEK_GENERATE_PATH, "scores_setup.TXT -o again.csv");
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_TRUE(testing::Contents(path / "scores.csv") == testing::Contents(path / "again.csv"));
    std::string report = testing::Contents(path / "scores_info.TXT");
    const std::string dataPath = (path / "scores.csv").string();
    report.replace(report.find(dataPath), dataPath.size(), (path / "again.csv").string());
    EXPECT_TRUE(report == testing::Contents(path / "again_info.TXT"));
    EXPECT_TRUE(testing::Contents(path / "scores_setup.TXT") ==
                testing::Contents(path / "again_setup.TXT"));
}

TEST_F(MainWindowTest, AnOpenedParametersFileFillsTheWindow) {
    const std::string golden = std::string(ZEK_GOLDEN_DIR) + "/17_2dv2x2/input.TXT";
    prompts.openAnswers = {QString::fromStdString(golden)};
    window.OpenGenerationParametersFile1Click();
    EXPECT_EQ(prompts.openOffers, QStringList({"ZEK_parameters"}));
    EXPECT_TRUE(Find<QRadioButton>("rdo_2dv2x2")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("txt_title")->text(), "Golden design 17");
    EXPECT_EQ(Find<QLineEdit>("txt_n3")->text(), Find<QLineEdit>("txt_n1")->text());
    EXPECT_EQ(state->setup.parametersFileName, golden);

    prompts.openAnswers = {QString::fromStdString(golden + ".missing")};
    window.OpenGenerationParametersFile1Click();
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains("input.TXT.missing"));

    // A categorical design's file fills the panel of counts in the boxes' place.
    prompts.openAnswers = {
        QString::fromStdString(std::string(ZEK_GOLDEN_DIR) + "/57_cat3x4_groups_exact/input.TXT")};
    window.OpenGenerationParametersFile1Click();
    EXPECT_TRUE(Find<QRadioButton>("rdo_cat3x4")->isChecked());
    EXPECT_TRUE(Find("box_categories")->isVisible());
    EXPECT_FALSE(Find("box_correlations")->isVisible());
    EXPECT_FALSE(Find("box_group1")->isVisible());
    EXPECT_TRUE(Find<QRadioButton>("rdo_ofcolumns")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("txt_pct12")->text(), "45");
    EXPECT_EQ(Find<QLineEdit>("txt_catn3")->text(), "50");
    EXPECT_EQ(Find<QLabel>("lbl_sum")->text(), "Column sums: 100%, 100%, 100%, 100%");
}

// Typing in the panel reaches the model and its sums at once; a refused table takes the user
// to the entry to mend.
TEST_F(MainWindowTest, ThePanelOfCountsIsTypedInAndChecked) {
    Find<QRadioButton>("rdo_cat2x2")->click();
    EXPECT_EQ(Find<QLabel>("lbl_sum")->text(), "Sum: 100%");
    // What counts have no use for is disabled, and says why.
    QLineEdit* extreme = Find<QLineEdit>("txt_extreme_main");
    EXPECT_FALSE(extreme->isEnabled());
    EXPECT_EQ(extreme->toolTip(), "Does not apply to counts in categories");
    EXPECT_FALSE(Find<QAction>("Reliability1")->isEnabled());
    EXPECT_TRUE(Find<QAction>("ExactSampleStatistics1")->isEnabled());
    QLineEdit* first = Find<QLineEdit>("txt_pct1");
    first->selectAll();
    QTest::keyClicks(first, "20");
    EXPECT_EQ(window.model().categories().percentages[0], "20");
    EXPECT_EQ(Find<QLabel>("lbl_sum")->text(), "Sum: 95% (must be 100%)");
    window.btnRunClick();
    EXPECT_EQ(testing::LastOf(prompts.messages),
              "The cell percentages must add up to 100 (they add up to 95)");
    EXPECT_EQ(QApplication::focusWidget(), first);

    QLineEdit* last = Find<QLineEdit>("txt_pct4");
    last->selectAll();
    QTest::keyClicks(last, "30");
    window.btnRunClick();
    EXPECT_TRUE(state->flags.dataGenerated);
    EXPECT_EQ(state->setup.categories.Percentage(1, 1), 30.0);

    // One variable: the number of categories sets the rows of the grid.
    Find<QRadioButton>("rdo_cat1")->click();
    Find<QSpinBox>("spn_categories")->setValue(5);
    EXPECT_TRUE(Find<QLineEdit>("txt_pct5")->isVisible());
    EXPECT_FALSE(Find<QLineEdit>("txt_pct6")->isVisible());
    EXPECT_EQ(window.model().categories().rows, 5);
    // The Names and Labels dialog offers a label for each of the five.
    int levelRows = 0;
    for (const NameRow& row : NameRowsOf(state->setup, {})) {
        if (row.column == "var1" && row.level > 0) ++levelRows;
    }
    EXPECT_EQ(levelRows, 5);

    Find<QRadioButton>("rdo_2groups")->click();
    EXPECT_TRUE(extreme->isEnabled());
    EXPECT_TRUE(Find<QAction>("Reliability1")->isEnabled());

    Find<QAction>("HintforCategoricalData1")->trigger();
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains("proportions in groups"));
    Find<QAction>("HintforLogisticRegression1")->trigger();
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains("latent score"));
}

// A CR-only file reads as the file it stands for (no carriage returns left in the boxes),
// a pipe is refused at once instead of freezing the window, and no box takes a text longer
// than a parameters file stores.
TEST_F(MainWindowTest, OddParametersFilesAreReadSensiblyAndNeverFreezeTheWindow) {
    testing::TemporaryFolder folder;
    std::string text = testing::Contents(std::string(ZEK_GOLDEN_DIR) + "/02_2groups/input.TXT");
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at + 1, 1);
        ++at;
    }
    std::ofstream(folder.path() / "mac.TXT", std::ios::binary) << text;
    prompts.openAnswers = {QString::fromStdString((folder.path() / "mac.TXT").string())};
    window.OpenGenerationParametersFile1Click();
    EXPECT_EQ(Find<QLineEdit>("txt_seed1")->text(), "0");
    EXPECT_EQ(Find<QLineEdit>("txt_missing_main")->text(), "3");
    EXPECT_EQ(Find<QLineEdit>("txt_n2")->text(), "20");
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join("|").toStdString();

    ASSERT_EQ(::mkfifo((folder.path() / "pipe.TXT").c_str(), 0600), 0);
    prompts.openAnswers = {QString::fromStdString((folder.path() / "pipe.TXT").string())};
    window.OpenGenerationParametersFile1Click();
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains("it is not a regular file"));

    for (const char* name : {"txt_title", "txt_seed1", "txt_mean1", "txt_r12"}) {
        EXPECT_EQ(Find<QLineEdit>(name)->maxLength(), 200) << name;
    }
}

TEST_F(MainWindowTest, ACancelledSaveAsksForTheParametersFileAndSaysNothingOfViewing) {
    window.btnRunClick();  // both save dialogs cancelled
    EXPECT_EQ(prompts.saveOffers, QStringList({"ZEK_data", "ZEK_data"}));
    EXPECT_TRUE(prompts.messages.isEmpty());
    window.ViewData1Click();
    EXPECT_EQ(prompts.messages, QStringList({"Sorry, you must save the data in order to view it"}));
    EXPECT_FALSE(window.viewer().isVisible());
}

TEST_F(MainWindowTest, TheViewerShowsBothFilesReadBackAndSwitchesViews) {
    testing::TemporaryFolder temporary;
    const auto path = temporary.path();
    prompts.saveAnswers = {QString::fromStdString((path / "scores.csv").string())};
    window.btn_runClick();
    QTest::keyClick(&window, Qt::Key_F2);
    DataViewer& viewer = window.viewer();
    ASSERT_TRUE(viewer.isVisible());
    const QStringList lines = viewer.box()->toPlainText().split('\n');
    const QString tildes(63, '~');
    const QString info = QString::fromStdString((path / "scores_info.TXT").string());
    EXPECT_EQ(lines.mid(0, 4),
              QStringList({tildes, "CONTENTS OF INFORMATION FILE NAMED: ", info, tildes}));
    EXPECT_EQ(lines[4], QString(63, '*')) << "the report from its second line on";
    const int hashes = static_cast<int>(lines.indexOf(QString(63, '#')));
    ASSERT_GT(hashes, 4);
    EXPECT_EQ(lines.mid(hashes - 2, 9),
              QStringList({"", "", QString(63, '#'), QString(63, '#'), tildes,
                           "CONTENTS OF DATA FILE NAMED: ",
                           QString::fromStdString((path / "scores.csv").string()), tildes, ""}));
    EXPECT_EQ(lines[hashes + 7], "id,group,dv");
    EXPECT_EQ(lines.size(), hashes + 7 + 51);

    auto* informationButton = viewer.findChild<QPushButton*>("Button1");
    auto* dataButton = viewer.findChild<QPushButton*>("Button2");
    dataButton->click();
    EXPECT_EQ(viewer.mode(), DataViewMode::DataOnly);
    // "&&" is how a button shows one "&" rather than underlining the next letter.
    EXPECT_EQ(dataButton->text(), "View Information && Data");
    EXPECT_TRUE(dataButton->shortcut().isEmpty());
    EXPECT_EQ(viewer.windowTitle(), "Generated Data");
    dataButton->click();
    EXPECT_EQ(viewer.mode(), DataViewMode::Both);
    informationButton->click();
    dataButton->click();
    EXPECT_EQ(viewer.mode(), DataViewMode::DataOnly);
    EXPECT_TRUE(viewer.box()->toPlainText().startsWith(tildes + "\nCONTENTS OF DATA FILE"));

    // The buttons switch between what the load read, each mode as the files give it, without
    // reading them again.
    auto linesOf = [&](DataViewMode mode) {
        std::vector<std::string> expected;
        AppendViewerLines(mode, *state, expected);
        QStringList joined;
        for (const std::string& line : expected) joined << QString::fromStdString(line);
        return joined.join('\n');
    };
    const QString dataOnly = linesOf(DataViewMode::DataOnly);
    const QString informationOnly = linesOf(DataViewMode::InformationOnly);
    const QString both = linesOf(DataViewMode::Both);
    std::filesystem::rename(path / "scores_info.TXT", path / "elsewhere.TXT");
    prompts.messages.clear();
    EXPECT_EQ(viewer.box()->toPlainText(), dataOnly);
    informationButton->click();
    EXPECT_EQ(viewer.box()->toPlainText(), informationOnly);
    informationButton->click();
    EXPECT_EQ(viewer.box()->toPlainText(), both);
    EXPECT_TRUE(prompts.messages.isEmpty());
    std::filesystem::rename(path / "elsewhere.TXT", path / "scores_info.TXT");

    // A file gone from the disk is reported by name, and this call does not show the window.
    viewer.close();
    std::filesystem::remove(path / "scores.csv");
    window.ViewData1Click();
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains("scores.csv"));
    EXPECT_FALSE(viewer.isVisible());
}

TEST_F(MainWindowTest, WithoutAPrinterTheViewerSavesEveryLineAsPdf) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed here";
    testing::TemporaryFolder temporary;
    const auto path = temporary.path();
    prompts.saveAnswers = {QString::fromStdString((path / "scores.csv").string())};
    window.btn_runClick();
    window.ViewData1Click();
    prompts.pdfAnswer = QString::fromStdString((path / "pages.pdf").string());
    window.viewer().findChild<QPushButton*>("BitBtn2")->click();
    EXPECT_EQ(prompts.pdfQuestions, 1);
    EXPECT_EQ(prompts.pdfOffers, QStringList{"scores information and data.pdf"});
    ASSERT_TRUE(std::filesystem::exists(path / "pages.pdf"));
    const testing::ProcessResult converted =
        testing::RunInFolder(path, "pdftotext", "-layout pages.pdf pages.txt");
    if (converted.exitCode == 127) GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    // The PDF's text keeps the words of a line but not the width of its gaps.
    auto withoutBlanks = [](QString text) { return text.remove(QRegularExpression("\\s")); };
    const QString printed =
        withoutBlanks(QString::fromStdString(testing::Contents(path / "pages.txt")));
    for (const QString& line : window.viewer().box()->toPlainText().split('\n')) {
        EXPECT_TRUE(printed.contains(withoutBlanks(line))) << line.toStdString();
    }
}

TEST_F(MainWindowTest, MenuCommandsRunTheModelsCommandsAndSecretSetupHasNoVisibleItem) {
    for (QAction* action : window.menuBar()->actions()) {
        for (QAction* item : action->menu()->actions()) {
            EXPECT_NE(item->text(), "Secret Setup") << "the item is never shown";
        }
    }
    QTest::keyClick(&window, Qt::Key_F9, Qt::ControlModifier);
    EXPECT_EQ(window.model().design(), DesignKind::Regression7);
    EXPECT_EQ(Find<QLineEdit>("txt_n8")->text(), "1000");
    EXPECT_FALSE(Find<QLineEdit>("txt_n8")->isEnabled());

    window.model().SetBoxText(1, BoxEdit::Mean, "42");
    QTest::keyClick(&window, Qt::Key_F10);
    EXPECT_EQ(Find<QLineEdit>("txt_mean8")->text(), "42");
    Find<QAction>("ResettoStartup1")->trigger();
    EXPECT_TRUE(Find<QRadioButton>("rdo_2groups")->isChecked());
    EXPECT_EQ(Find("box_group1")->property("title").toString(), "Group 1");
    EXPECT_FALSE(Find("box_group3")->isVisible());

    // "Allow all available distributions" shows its check mark, and choosing it keeps it.
    auto* allow = Find<QAction>("Allowallavailabledistributions1");
    EXPECT_TRUE(allow->isChecked());
    allow->trigger();
    EXPECT_TRUE(allow->isChecked());

    // "Exact Sample Statistics" is off at start, its mark follows the option, and Reset to
    // Startup turns it off again.
    auto* exact = Find<QAction>("ExactSampleStatistics1");
    EXPECT_FALSE(exact->isChecked());
    exact->trigger();
    EXPECT_TRUE(exact->isChecked());
    EXPECT_TRUE(window.model().exactStatistics());
    Find<QAction>("ResettoStartup1")->trigger();
    EXPECT_FALSE(exact->isChecked());
    EXPECT_FALSE(window.model().exactStatistics());
}

TEST_F(MainWindowTest, HowToRecipesSelectTheirDesignAndShowTheirText) {
    Find<QRadioButton>("rdo_2x2")->click();
    Find<QAction>("woWayANOVA1")->trigger();
    EXPECT_TRUE(Find<QRadioButton>("rdo_2x3")->isChecked());
    EXPECT_TRUE(window.examples().isVisible());
    const QString text = window.examples().box()->toPlainText();
    EXPECT_TRUE(
        text.startsWith("How to Set Up ZEK to Generate Two-Way ANOVA Data:\n" + QString(94, '-')));
    Find<QAction>("woWayANOVA1")->trigger();
    EXPECT_EQ(window.model().design(), DesignKind::Factorial2x3);
    EXPECT_EQ(window.examples().box()->toPlainText(), text);

    EXPECT_FALSE(Find<QAction>("FactorAnalysis1")->isEnabled());
    Find<QAction>("FactorAnalysis1")->trigger();
    EXPECT_EQ(window.model().design(), DesignKind::Factorial2x3);

    Find<QAction>("HintforMeanandSDValues1")->trigger();
    EXPECT_TRUE(testing::LastOf(prompts.messages).startsWith("Perhaps the easiest"));
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains("  \n\nFor example"));
}

ModalAnswers::Answer ClassSet(int students, const QString& seed, const QString& folder) {
    return [=](QWidget* dialog) {
        auto* form = static_cast<ClassSetDialog*>(dialog);
        form->students()->setValue(students);
        form->firstSeed()->setText(seed);
        form->folder()->setText(folder);
        form->accept();
    };
}

// The folder's files, with every mention of the folder itself taken out of their texts.
std::map<std::string, std::string> FilesOf(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string text = testing::Contents(entry.path());
        const std::string path = folder.string() + "/";
        for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path)) {
            text.erase(at, path.size());
        }
        files[entry.path().filename().string()] = text;
    }
    return files;
}

TEST_F(MainWindowTest, AClassSetIsWhatZekGenerateWritesForTheSameSeeds) {
    testing::TemporaryFolder window_folder("_window");
    Find<QRadioButton>("rdo_2groups")->click();
    window.model().SetMissingText("5");
    window.model().SelectShape(2, DistributionKind::SkewNeg);
    {
        ModalAnswers answers(
            {ClassSet(3, "40", QString::fromStdString(window_folder.path().string()))});
        Find<QAction>("GenerateClassSet1")->trigger();
        EXPECT_TRUE(answers.AllUsed());
    }
    EXPECT_EQ(
        testing::LastOf(prompts.messages),
        QString("3 datasets written, with the class key %1")
                .arg(QString::fromStdString((window_folder.path() / "class_key.csv").string())) +
            ".");
    std::map<std::string, std::string> fromWindow = FilesOf(window_folder.path());
    EXPECT_EQ(fromWindow.size(), 3u * 4u + 1u);

    testing::TemporaryFolder cli_folder("_cli");
    std::filesystem::copy_file(window_folder.path() / "class_1_setup.TXT",
                               cli_folder.path() / "setup.TXT");
    const testing::ProcessResult cli = testing::RunInFolder(
        cli_folder.path(), ZEK_GENERATE_PATH, "setup.TXT -o class.csv --count 3 --seed 40");
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    std::filesystem::remove(cli_folder.path() / "setup.TXT");
    const std::map<std::string, std::string> fromCli = FilesOf(cli_folder.path());
    ASSERT_EQ(fromCli.size(), fromWindow.size());
    for (const auto& [name, text] : fromCli) {
        EXPECT_TRUE(fromWindow[name] == text) << name;
    }
}

// The window's handouts and quiz are zek-generate's bytes, the quiz asking what was ticked.
TEST_F(MainWindowTest, ARosterSetReachesTheStudentsAsZekGenerateWritesIt) {
    testing::TemporaryFolder window_folder("_window");
    testing::TemporaryFolder cli_folder("_cli");
    for (const auto* folder : {&window_folder, &cli_folder}) {
        std::ofstream roster(folder->path() / "roster.csv", std::ios::binary);
        roster << "id,name\ns1,Anna Smith\ns2,Jos\xC3\xA9\n";
    }
    Find<QRadioButton>("rdo_2groups")->click();
    window.btnRunClick();  // the key figures to tick are the last run's
    {
        ModalAnswers answers({[&](QWidget* dialog) {
            auto* form = static_cast<ClassSetDialog*>(dialog);
            form->firstSeed()->setText("90");
            form->folder()->setText(QString::fromStdString(window_folder.path().string()));
            form->roster()->setText(
                QString::fromStdString((window_folder.path() / "roster.csv").string()));
            EXPECT_FALSE(form->students()->isEnabled()) << "the roster counts the students";
            form->handouts()->setChecked(true);
            form->quiz()->setChecked(true);
            form->instructions()->setPlainText("Run a t test.");
            const auto ticked = form->quizFigures()->findItems("student_t", Qt::MatchExactly);
            ASSERT_EQ(ticked.size(), 1);
            ticked[0]->setCheckState(Qt::Checked);
            form->accept();
        }});
        Find<QAction>("GenerateClassSet1")->trigger();
        EXPECT_TRUE(answers.AllUsed());
    }
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains("Moodle quiz: "));
    std::map<std::string, std::string> fromWindow = FilesOf(window_folder.path());
    EXPECT_EQ(fromWindow.count("class_s2.csv"), 1u);

    std::filesystem::copy_file(window_folder.path() / "class_s1_setup.TXT",
                               cli_folder.path() / "setup.TXT");
    {
        std::ofstream instructions(cli_folder.path() / "instructions.txt", std::ios::binary);
        instructions << "Run a t test.";
    }
    const testing::ProcessResult cli = testing::RunInFolder(
        cli_folder.path(), ZEK_GENERATE_PATH,
        "setup.TXT -o class.csv --roster roster.csv --seed 90 --handouts --instructions "
        "instructions.txt --moodle class_moodle.xml --quiz-figures student_t");
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    const std::map<std::string, std::string> fromCli = FilesOf(cli_folder.path());
    for (const char* name :
         {"class_key.csv", "class_handouts.pdf", "class_moodle.xml", "class_s2.csv"}) {
        EXPECT_TRUE(fromWindow[name] == fromCli.at(name)) << name;
    }
    const std::string& quiz = fromWindow["class_moodle.xml"];
    EXPECT_EQ(std::count(quiz.begin(), quiz.end(), '{'), 2) << "student_t of each student";
}

// Cancel takes effect within the datasets already being made, on the threads that make them.
TEST_F(MainWindowTest, ACancelledClassSetKeepsWhatWasWrittenAndItsKey) {
    testing::TemporaryFolder folder;
    ModalAnswers answers(
        {ClassSet(100, "7", QString::fromStdString(folder.path().string())),
         [](QWidget* progress) { static_cast<QProgressDialog*>(progress)->cancel(); }});
    window.GenerateClassSet1Click();
    EXPECT_EQ(answers.shown, QStringList({"ClassSetForm", "ClassSetProgress"}));
    EXPECT_TRUE(testing::LastOf(prompts.messages).startsWith("Stopped after "));
    const auto files = FilesOf(folder.path());
    const auto key = testing::SplitCrLf(files.at("class_key.csv"));
    int datasets = 0;
    for (const auto& [name, text] : files) {
        if (name.ends_with("_setup.TXT")) ++datasets;
    }
    EXPECT_GE(datasets, 1);
    EXPECT_LT(datasets, 30) << "the set went on long after Cancel";
    EXPECT_EQ(key.size(), static_cast<std::size_t>(datasets) + 1) << "one row per dataset written";
}

// A stopped set that replaced an earlier one of the same names leaves none of the earlier
// datasets beside the new ones, and says how many went.
TEST_F(MainWindowTest, ACancelledReplacementLeavesNoEarlierDatasetUnderTheSetsNames) {
    testing::TemporaryFolder folder;
    const QString where = QString::fromStdString(folder.path().string());
    {
        ModalAnswers answers({ClassSet(100, "1000", where)});
        window.GenerateClassSet1Click();
        ASSERT_TRUE(answers.AllUsed());
    }
    prompts.questionAnswers = {true};
    {
        ModalAnswers answers({ClassSet(100, "5000", where), [](QWidget* progress) {
                                  static_cast<QProgressDialog*>(progress)->cancel();
                              }});
        window.GenerateClassSet1Click();
    }
    const QString said = testing::LastOf(prompts.messages);
    EXPECT_TRUE(said.contains("datasets of the earlier set under these names were removed"))
        << said.toStdString();
    const auto key = testing::SplitCrLf(testing::Contents(folder.path() / "class_key.csv"));
    int datasets = 0;
    for (const auto& [name, text] : FilesOf(folder.path())) {
        if (!name.ends_with("_key.TXT")) continue;
        ++datasets;
        EXPECT_NE(text.find("\r\nSeed: 50"), std::string::npos) << name << " is of the earlier set";
    }
    EXPECT_LT(datasets, 100);
    EXPECT_EQ(key.size(), static_cast<std::size_t>(datasets) + 1);
}

// A file that cannot be written ends the set: the progress closes before the message, which
// names the file and says what was written.
TEST_F(MainWindowTest, AFailedClassSetClosesItsProgressBeforeNamingTheFile) {
    testing::TemporaryFolder folder;
    std::filesystem::create_directory(folder.path() / "class_2_info.TXT");
    bool progressShownBeneath = false;
    prompts.whileMessageShows = [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QProgressDialog*>(widget) && widget->isVisible()) {
                progressShownBeneath = true;
            }
        }
    };
    prompts.questionAnswers = {true};
    ModalAnswers answers({ClassSet(3, "7", QString::fromStdString(folder.path().string()))});
    window.GenerateClassSet1Click();
    ASSERT_EQ(prompts.messages.size(), 1);
    const QString said = prompts.messages[0];
    EXPECT_TRUE(said.contains((folder.path() / "class_2_info.TXT").c_str())) << said.toStdString();
    EXPECT_TRUE(said.contains("of 3 datasets; the class key")) << said.toStdString();
    EXPECT_FALSE(progressShownBeneath);
}

// A folder that is not there is offered to be made; declined, the dialog comes back.
TEST_F(MainWindowTest, AClassSetOffersToCreateAMissingFolder) {
    testing::TemporaryFolder folder;
    const std::filesystem::path missing = folder.path() / "week 3" / "lab";
    const QString where = QString::fromStdString(missing.string());
    prompts.questionAnswers = {false, true};
    {
        ModalAnswers answers({ClassSet(2, "7", where), ClassSet(2, "7", where)});
        window.GenerateClassSet1Click();
        EXPECT_TRUE(answers.AllUsed());
    }
    ASSERT_EQ(prompts.questions.size(), 2);
    EXPECT_EQ(prompts.questions[0], "The folder " + where + " does not exist. Create it?");
    EXPECT_TRUE(std::filesystem::exists(missing / "class_key.csv"));
}

// After a set, the window's last run is the set's: Save does not put it under another name.
TEST_F(MainWindowTest, SaveAfterAClassSetSavesNothingUntilTheNextRun) {
    testing::TemporaryFolder folder;
    ModalAnswers answers({ClassSet(2, "7", QString::fromStdString(folder.path().string()))});
    window.GenerateClassSet1Click();
    window.btnSaveDataClick();
    EXPECT_EQ(testing::LastOf(prompts.messages), kClassSetSavedMessage);
    EXPECT_TRUE(prompts.saveOffers.isEmpty());
}

ModalAnswers::Answer ClassSetNamed(int students, const QString& folder, const QString& name,
                                   QString* offeredSeed = nullptr) {
    return [=](QWidget* dialog) {
        auto* form = static_cast<ClassSetDialog*>(dialog);
        if (offeredSeed != nullptr) *offeredSeed = form->firstSeed()->text();
        form->students()->setValue(students);
        form->folder()->setText(folder);
        form->fileName()->setText(name);
        form->accept();
    };
}

TEST_F(MainWindowTest, ClassSetsAskBeforeReplacingAndNeverReuseASeed) {
    testing::TemporaryFolder folder;
    const QString where = QString::fromStdString(folder.path().string());
    QString firstOffer, secondOffer, thirdOffer;
    {
        ModalAnswers answers({ClassSetNamed(3, where, "lab.csv", &firstOffer)});
        window.GenerateClassSet1Click();
        EXPECT_TRUE(answers.AllUsed());
    }
    EXPECT_EQ(firstOffer, "1804");
    EXPECT_EQ(Find<QLineEdit>("txt_seed1")->text(), "1804");
    const std::string keyBefore = testing::Contents(folder.path() / "lab_key.csv");

    // The same name again: the window asks, and No brings the dialog back as it was left.
    prompts.questionAnswers = {false};
    {
        ModalAnswers answers(
            {ClassSetNamed(2, where, "lab.csv", &secondOffer), [&](QWidget* dialog) {
                 auto* form = static_cast<ClassSetDialog*>(dialog);
                 thirdOffer = form->firstSeed()->text();
                 EXPECT_EQ(form->students()->value(), 2);
                 form->reject();
             }});
        window.GenerateClassSet1Click();
        EXPECT_TRUE(answers.AllUsed());
    }
    EXPECT_EQ(secondOffer, "1807") << "the seed after the last set's last dataset";
    EXPECT_EQ(thirdOffer, "1807");
    ASSERT_EQ(prompts.questions.size(), 1);
    // lab_1 and lab_2 with their three companions each, and the class key.
    EXPECT_TRUE(
        prompts.questions[0].startsWith("9 files of this class set already exist in " + where))
        << prompts.questions[0].toStdString();
    EXPECT_EQ(testing::Contents(folder.path() / "lab_key.csv"), keyBefore);
}

TEST_F(MainWindowTest, ARefusedClassSetShowsItsMessageWithoutAProgressDialog) {
    testing::TemporaryFolder folder;
    window.model().SetBoxText(1, BoxEdit::N, "1");
    ModalAnswers answers({ClassSetNamed(3, QString::fromStdString(folder.path().string()), "x")});
    window.GenerateClassSet1Click();
    EXPECT_EQ(answers.shown, QStringList({"ClassSetForm"}));
    EXPECT_EQ(testing::LastOf(prompts.messages), "Minimum Data per cell is 2");
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(MainWindowTest, TheClassSetHintFollowsTheTypedName) {
    ModalAnswers answers({[](QWidget* dialog) {
        auto* form = static_cast<ClassSetDialog*>(dialog);
        form->fileName()->setText("lab.csv");
        form->students()->setValue(4);
        auto* hint = form->findChild<QLabel*>("lbl_naming");
        EXPECT_EQ(hint->text(),
                  "The files are numbered: lab_1.csv, lab_2.csv, ... lab_4.csv, "
                  "and the class key is lab_key.csv.");
        form->reject();
    }});
    window.GenerateClassSet1Click();
    EXPECT_TRUE(answers.AllUsed());
}

TEST_F(MainWindowTest, SecondaryWindowsOpenCentredOnTheMainWindow) {
    window.move(200, 150);
    Find<QAction>("IndependenttTest1")->trigger();
    const QPoint centre = window.frameGeometry().center();
    const QPoint howTo = window.examples().geometry().center();
    EXPECT_LE((howTo - centre).manhattanLength(), 40)
        << howTo.x() << "," << howTo.y() << " vs " << centre.x() << "," << centre.y();
}

// The grid draws all 28 cells of the model, the last row included.
TEST_F(MainWindowTest, TheGridDrawsEveryCellOfEightVariables) {
    Find<QRadioButton>("rdo_corr8")->click();
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j) {
            window.model().SetCorrelationText(i, j, QString("0.%1%2").arg(i).arg(j).toStdString());
        }
    }
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j) {
            const QString name = QString("txt_r%1%2").arg(i).arg(j);
            auto* cell = window.findChild<QLineEdit*>(name);
            ASSERT_NE(cell, nullptr) << name.toStdString();
            EXPECT_EQ(cell->text(), QString("0.%1%2").arg(i).arg(j)) << name.toStdString();
            EXPECT_TRUE(cell->isEnabled()) << name.toStdString();
        }
    }
}

TEST_F(MainWindowTest, TabEntersTheDesignsAtTheChosenOne) {
    Find<QRadioButton>("rdo_corr5")->click();
    for (QRadioButton* button : Find("boxstatisticaltest")->findChildren<QRadioButton*>()) {
        EXPECT_EQ(static_cast<bool>(button->focusPolicy() & Qt::TabFocus),
                  button->objectName() == "rdo_corr5")
            << button->objectName().toStdString();
    }
}

// Data saved as an SPSS file: the save dialog offered the data formats, the file is no text,
// and the viewer and the plots show its data as the text file would hold them; after a new
// run that is not saved, the viewer says so instead of showing other data.
TEST_F(MainWindowTest, AnSpssFileIsViewedAndPlottedAsItsData) {
    testing::TemporaryFolder folder;
    Find<QRadioButton>("rdo_corr2")->click();
    window.model().SetMissingText("0");
    const std::string sav = (folder.path() / "scores.sav").string();
    prompts.saveAnswers = {QString::fromStdString(sav), {}};
    window.btn_runClick();
    ASSERT_FALSE(prompts.saveKinds.empty());
    EXPECT_EQ(prompts.saveKinds.front(), SaveKind::DataFiles);
    EXPECT_TRUE(testing::Contents(folder.path() / "scores.sav").starts_with("$FL2"));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "scores_info.TXT"));

    window.ViewData1Click();
    DataViewer& viewer = window.viewer();
    const QString text = viewer.box()->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromStdString(sav) + "\n" + QString(63, '~') +
                              "\n\nid,var1,var2\n1,"))
        << text.toStdString();
    viewer.TogglePlots();
    ASSERT_TRUE(viewer.showingPlots());
    EXPECT_EQ(viewer.plots()->plots().histograms[0].present, 25);

    // The viewer keeps what it read: after a run that was not saved its buttons still show
    // the saved data; only reading them again says they are gone from memory.
    prompts.messages.clear();
    window.btn_runClick();  // the save dialog is cancelled this time
    viewer.TogglePlots();
    Find<QPushButton>("Button2")->click();  // data only
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(viewer.box()->toPlainText().contains("id,var1,var2\n1,"));
    viewer.LoadViewer();
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(testing::LastOf(prompts.messages).contains("save again to view them"))
        << testing::LastOf(prompts.messages).toStdString();
}

TEST_F(MainWindowTest, ThePlotPageBinsTheSavedScoresAndDrawsTheLargestRunAtOnce) {
    testing::TemporaryFolder folder;
    Find<QRadioButton>("rdo_corr3")->click();
    window.model().SetCorrelationText(1, 2, "0.5");
    window.model().SetMissingText("10");
    prompts.saveAnswers = {QString::fromStdString((folder.path() / "scores.csv").string())};
    window.btn_runClick();
    window.ViewData1Click();
    DataViewer& viewer = window.viewer();
    viewer.TogglePlots();
    ASSERT_TRUE(viewer.showingPlots());
    const ScorePlots& plots = viewer.plots()->plots();
    ASSERT_EQ(plots.histograms.size(), 3u);
    // The page scrolls only downwards, and its panels carry the captions the window shows.
    auto* scroll = static_cast<QScrollArea*>(viewer.plots()->parentWidget()->parentWidget());
    EXPECT_LE(viewer.plots()->width(), scroll->viewport()->width());
    EXPECT_EQ(viewer.plots()->captions()[2], "Variable 3");
    ASSERT_EQ(plots.scatter.size(), 3u);

    // Every score of the data file is in one bin, and the missing ones are counted apart.
    const auto lines = testing::SplitCrLf(testing::Contents(folder.path() / "scores.csv"));
    for (int v = 0; v < 3; ++v) {
        int present = 0;
        int missing = 0;
        for (std::size_t row = 1; row < lines.size(); ++row) {
            const QStringList fields = QString::fromStdString(lines[row]).split(',');
            (fields[1 + v].isEmpty() ? missing : present) += 1;
        }
        const Histogram& histogram = plots.histograms[static_cast<std::size_t>(v)];
        EXPECT_EQ(histogram.present, present);
        EXPECT_EQ(histogram.missing, missing);
        int binned = 0;
        for (int count : histogram.counts) binned += count;
        EXPECT_EQ(binned, present);
    }
    EXPECT_EQ(plots.scatter[0].requestedR, 0.5);
    EXPECT_NEAR(plots.scatter[0].actualR, 0.5, 0.4);

    // The picture is offered beside the data file, named after it.
    prompts.saveAnswers = {QString::fromStdString((folder.path() / "plots.png").string())};
    viewer.SavePlotsAsPng();
    EXPECT_EQ(testing::LastOf(prompts.saveOffers),
              QString::fromStdString((folder.path() / "scores_plots.png").string()));
    EXPECT_TRUE(QImage(QString::fromStdString((folder.path() / "plots.png").string())).width() >
                700);
    if (QPrinterInfo::defaultPrinter().isNull()) {
        prompts.pdfAnswer = QString::fromStdString((folder.path() / "plots.pdf").string());
        viewer.findChild<QPushButton*>("BitBtn2")->click();
        EXPECT_EQ(testing::LastOf(prompts.pdfOffers), "scores plots.pdf");
        EXPECT_GT(std::filesystem::file_size(folder.path() / "plots.pdf"), 1000u);
    }
    viewer.TogglePlots();
    EXPECT_FALSE(viewer.showingPlots());
}

}  // namespace
}  // namespace zek

int main(int argc, char** argv) {
    // The tests need no screen; test discovery at build time runs them without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
