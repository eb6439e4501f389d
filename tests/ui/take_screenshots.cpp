// Photographs the window in the states a handout shows, for a look after a change of layout:
//   QT_QPA_PLATFORM=offscreen build-test/tests/zek_take_screenshots FOLDER
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>

#include "ui/class_set_dialog.h"
#include "ui/data_viewer.h"
#include "ui/example_box.h"
#include "ui/main_window.h"
#include "ui/plot_page.h"
#include "ui/user_prompts.h"

namespace {

// Answers the save dialog with one file and every other question with nothing.
class ScreenshotPrompts final : public zek::UserPrompts {
  public:
    explicit ScreenshotPrompts(QString dataFile) : dataFile_(std::move(dataFile)) {}
    // Each message is photographed as the window shows it, when a name is waiting for it.
    void Message(QWidget* parent, const QString& text, const QString& details) override {
        if (nextMessageShot.isEmpty()) return;
        const std::unique_ptr<QMessageBox> box = zek::MessageBoxFor(parent, text, details);
        box->show();
        QApplication::processEvents();
        messagesSaved = box->grab().save(nextMessageShot) && messagesSaved;
        nextMessageShot.clear();
    }
    QString nextMessageShot;
    bool messagesSaved = true;
    std::optional<QString> SaveFileName(QWidget*, const QString&, zek::SaveKind) override {
        return dataFile_;
    }
    std::optional<QString> OpenFileName(QWidget*, const QString&) override { return {}; }
    std::optional<QString> FolderName(QWidget*, const QString&) override { return {}; }
    std::optional<QString> PdfFileName(QWidget*, const QString&, const QString&) override {
        return {};
    }
    bool Question(QWidget*, const QString&) override { return false; }
    std::optional<QString> AskText(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }

  private:
    QString dataFile_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zek_take_screenshots FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::filesystem::path data =
        std::filesystem::temp_directory_path() / "zek_screenshot_scores.csv";
    auto state = std::make_unique<zek::ProgramState>();
    ScreenshotPrompts prompts(QString::fromStdString(data.string()));
    zek::MainWindow window(*state, prompts);
    window.show();
    QApplication::processEvents();
    bool saved = window.grab().save(folder + "/startup.png");
    window.findChild<QRadioButton*>("rdo_corr8")->click();
    window.model().SetRandomCorrelationsInHundredths();
    window.model().SelectShape(3, zek::DistributionKind::Uniform);
    saved &= window.grab().save(folder + "/correlated8.png");
    window.findChild<QRadioButton*>("rdo_2dv2x2")->click();
    saved &= window.grab().save(folder + "/twodv2x2.png");
    window.btn_runClick();
    window.ViewData1Click();
    saved &= window.viewer().grab().save(folder + "/viewer.png");
    window.viewer().findChild<QPushButton*>("Button2")->click();
    saved &= window.viewer().grab().save(folder + "/viewer_data_only.png");
    window.viewer().findChild<QPushButton*>("Button1")->click();
    saved &= window.viewer().grab().save(folder + "/viewer_information_only.png");
    window.viewer().findChild<QPushButton*>("Button1")->click();
    window.viewer().TogglePlots();
    saved &= window.viewer().grab().save(folder + "/viewer_plots.png");
    saved &= window.viewer().plots()->grab().save(folder + "/plots.png");
    window.findChild<QAction*>("IndependenttTest1")->trigger();
    saved &= window.examples().grab().save(folder + "/howto.png");
    // Eight Uniform variables correlated .7: flat histograms under flat curves.
    window.findChild<QRadioButton*>("rdo_corr8")->click();
    window.model().SetBoxText(1, zek::BoxEdit::N, "20000");
    for (int box = 1; box <= 8; ++box)
        window.model().SelectShape(box, zek::DistributionKind::Uniform);
    for (int i = 1; i <= 8; ++i) {
        for (int j = i + 1; j <= 8; ++j) window.model().SetCorrelationText(i, j, "0.7");
    }
    window.model().SetMissingText("0");
    window.model().SetExtremeText("0");
    window.btn_runClick();
    window.ViewData1Click();
    window.viewer().TogglePlots();
    saved &= window.viewer().plots()->grab().save(folder + "/plots_uniform8.png");
    // A correlation that a Uniform and a skewed variable cannot reach is refused.
    window.findChild<QRadioButton*>("rdo_corr3")->click();
    window.model().SelectShape(3, zek::DistributionKind::SkewPos);
    window.model().SetCorrelationText(1, 3, "0.99");
    prompts.nextMessageShot = folder + "/unreachable_correlation.png";
    window.btn_runClick();
    saved &= prompts.nextMessageShot.isEmpty() && prompts.messagesSaved;
    // The Options menu with "Exact Sample Statistics" and "Repeated Measures" ticked, and
    // three correlated variables captioned as occasions.
    window.findChild<QAction*>("ExactSampleStatistics1")->trigger();
    window.findChild<QAction*>("RepeatedMeasures1")->trigger();
    saved &= window.grab().save(folder + "/repeated_corr3.png");
    prompts.nextMessageShot = folder + "/repeated_hint.png";
    window.findChild<QAction*>("HintforRepeatedMeasures1")->trigger();
    saved &= prompts.nextMessageShot.isEmpty() && prompts.messagesSaved;
    // Two groups on three occasions: the occasion means over the paths of twenty cases.
    window.findChild<QRadioButton*>("rdo_2group3dv")->click();
    window.model().SetBoxText(1, zek::BoxEdit::N, "40");
    window.model().SetBoxText(5, zek::BoxEdit::N, "40");
    for (int box : {1, 2, 3, 5, 6, 7}) {
        window.model().SelectShape(box, zek::DistributionKind::Normal);
        window.model().SetLimitTicked(box, zek::LimitSide::Min, false);
        window.model().SetLimitTicked(box, zek::LimitSide::Max, false);
        window.model().SetBoxText(box, zek::BoxEdit::Mean,
                                  std::to_string(50 + (box > 4 ? 2 : 5) * ((box - 1) % 4)));
        window.model().SetBoxText(box, zek::BoxEdit::Sd, "10");
    }
    window.model().SetAllCorrelationsToHalf();
    window.btn_runClick();
    window.ViewData1Click();
    window.viewer().TogglePlots();
    saved &= window.viewer().plots()->grab().save(folder + "/plots_repeated.png");
    window.findChild<QAction*>("RepeatedMeasures1")->trigger();
    // The mixed design of two groups on four occasions names its boxes as occasions with the
    // option off.
    window.findChild<QRadioButton*>("rdo_mixed4occ")->click();
    saved &= window.grab().save(folder + "/mixed4occ.png");
    // The panel of counts: one variable of four categories, and a 3x4 table of proportions
    // in groups whose third column does not add up yet.
    window.findChild<QRadioButton*>("rdo_cat1")->click();
    window.findChild<QSpinBox*>("spn_categories")->setValue(4);
    saved &= window.grab().save(folder + "/categories_one.png");
    prompts.nextMessageShot = folder + "/categorical_hint.png";
    window.findChild<QAction*>("HintforCategoricalData1")->trigger();
    saved &= prompts.nextMessageShot.isEmpty() && prompts.messagesSaved;
    window.findChild<QRadioButton*>("rdo_cat3x4")->click();
    window.findChild<QRadioButton*>("rdo_ofcolumns")->click();
    zek::CategoryTableTexts groups = window.model().categories();
    groups.percentages = {"20", "50", "30", "10", "30", "25", "30", "45", "50", "25", "30", "45"};
    window.model().SetCategories(groups);
    saved &= window.grab().save(folder + "/categories_table.png");
    groups.percentages[6] = "40";
    window.model().SetCategories(groups);
    window.btn_runClick();
    window.ViewData1Click();
    saved &= window.viewer().grab().save(folder + "/viewer_categories.png");
    window.viewer().TogglePlots();
    saved &= window.viewer().plots()->grab().save(folder + "/plots_categories.png");
    window.viewer().TogglePlots();
    // A binary outcome with three predictors, each correlated .4 with its latent score.
    window.findChild<QRadioButton*>("rdo_logistic3")->click();
    window.model().SetBoxText(1, zek::BoxEdit::Mean, "30");
    for (int j = 2; j <= 4; ++j) window.model().SetCorrelationText(1, j, "0.4");
    saved &= window.grab().save(folder + "/logistic3.png");
    window.btn_runClick();
    window.ViewData1Click();
    saved &= window.viewer().grab().save(folder + "/viewer_logistic.png");
    window.viewer().TogglePlots();
    saved &= window.viewer().plots()->grab().save(folder + "/plots_logistic.png");
    window.viewer().TogglePlots();
    // Three correlated items: two Likert scales of five and seven points and a Normal score.
    window.findChild<QRadioButton*>("rdo_corr3")->click();
    window.findChild<QRadioButton*>("rdo_likert1")->click();
    window.model().SetBoxText(1, zek::BoxEdit::Mean, "3.8");
    window.model().SetBoxText(1, zek::BoxEdit::N, "200");
    window.findChild<QRadioButton*>("rdo_likert2")->click();
    window.model().SetBoxText(2, zek::BoxEdit::Max, "7");
    window.model().SetBoxText(2, zek::BoxEdit::Sd, "1.6");
    saved &= window.grab().save(folder + "/likert_boxes.png");
    window.btn_runClick();
    window.ViewData1Click();
    window.viewer().TogglePlots();
    saved &= window.viewer().plots()->grab().save(folder + "/plots_likert.png");
    window.viewer().TogglePlots();
    window.findChild<QRadioButton*>("rdo_2group3dv")->click();
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
        if (menu->title() != QStringLiteral("Options")) continue;
        menu->popup(window.mapToGlobal(QPoint(0, 0)));
        QApplication::processEvents();
        saved &= menu->grab().save(folder + "/options_menu.png");
        menu->hide();
    }
    // Names and Labels for a two-group design, with a few rows typed.
    window.findChild<QRadioButton*>("rdo_2groups")->click();
    QTimer::singleShot(200, [&] {
        auto* dialog = window.findChild<QDialog*>("TNamesForm");
        auto* table = dialog->findChild<QTableWidget*>("tbl_names");
        table->item(1, 1)->setText("condition");
        table->item(1, 2)->setText("Experimental condition");
        table->item(2, 2)->setText("Placebo");
        table->item(3, 2)->setText("Caffeine");
        table->item(4, 1)->setText("recall");
        table->item(4, 2)->setText("Words recalled out of 40");
        QApplication::processEvents();
        saved &= dialog->grab().save(folder + "/names_dialog.png");
        dialog->reject();
    });
    window.findChild<QAction*>("NamesandLabels1")->trigger();
    // A scale's items, two of them reverse-keyed.
    window.findChild<QRadioButton*>("rdo_corr4")->click();
    QTimer::singleShot(200, [&] {
        auto* dialog = window.findChild<QDialog*>("TNamesForm");
        auto* table = dialog->findChild<QTableWidget*>("tbl_names");
        for (int row = 0; row < table->rowCount(); ++row) {
            const QString column = table->item(row, 0)->text();
            if (column == "var1") table->item(row, 1)->setText("calm");
            if (column == "var2") table->item(row, 1)->setText("tense");
            if (column == "var2" || column == "var4") {
                table->item(row, 3)->setCheckState(Qt::Checked);
            }
        }
        QApplication::processEvents();
        saved &= dialog->grab().save(folder + "/names_reversed.png");
        dialog->reject();
    });
    window.findChild<QAction*>("NamesandLabels1")->trigger();
    window.findChild<QRadioButton*>("rdo_2groups")->click();
    // The class set's questions, from a roster with handouts and a quiz; the figures to tick
    // are the last run's.
    window.btnRunClick();
    QTimer::singleShot(200, [&] {
        auto* dialog = window.findChild<zek::ClassSetDialog*>("ClassSetForm");
        dialog->roster()->setText("/home/teacher/stats101/roster.csv");
        dialog->handouts()->setChecked(true);
        dialog->quiz()->setChecked(true);
        dialog->instructions()->setPlainText(
            "Load your data file into R or SPSS.\nCompare the two groups with Student's t test "
            "and report t, df and p.");
        for (int row = 0; row < dialog->quizFigures()->count(); ++row) {
            const QString name = dialog->quizFigures()->item(row)->text();
            if (name.startsWith("student_")) {
                dialog->quizFigures()->item(row)->setCheckState(Qt::Checked);
            }
        }
        dialog->quizFigures()->scrollToItem(
            dialog->quizFigures()->findItems("student_t", Qt::MatchExactly)[0]);
        QApplication::processEvents();
        saved &= dialog->grab().save(folder + "/class_set_dialog.png");
        dialog->reject();
    });
    window.findChild<QAction*>("GenerateClassSet1")->trigger();
    // The plot page of that story: panels called by their names.
    zek::ColumnNames story;
    story.names = {{"group", "condition"}, {"dv", "recall"}};
    story.levelLabels = {{"group", {{1, "Placebo"}, {2, "Caffeine"}}}};
    window.model().SetColumnNames(story);
    window.btn_runClick();
    window.ViewData1Click();
    if (!window.viewer().showingPlots()) window.viewer().TogglePlots();
    saved &= window.viewer().plots()->grab().save(folder + "/plots_named.png");
    for (const char* name : {"TAboutBox", "TAckForm"}) {
        auto* information = window.findChild<QWidget*>(name);
        information->show();
        saved &= information->grab().save(folder + "/" + name + ".png");
        information->hide();
    }
    return saved ? 0 : 1;
}
