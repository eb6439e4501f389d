#include "commands/help_texts.h"

namespace zek {

namespace {

using Lines = std::vector<std::string>;

// What sets one recipe apart from the others; the rest is the same for all six.
struct RecipeText {
    DesignKind design;
    const char* heading;
    int dashes;
    int equals;
    Lines ownSteps;  ///< step 3 and the recipe's own steps before the four on the first box
    const char* subject;
    Lines furtherSteps;  ///< numbered already; the last three steps follow them
    Lines example;       ///< after the first line of equals signs; see `ExampleBlock`
    Lines closing;
};

constexpr const char* kFirstSteps[] = {
    "1. In the TITLE FOR OUTPUT box, enter a title for your output (optional)",
    "2. In the SEED box, either enter an integer or click on the RANDOM button to get a random "
    "value (a seed is needed to get the data generation started)"};
constexpr const char* kBoxStepEndings[] = {
    ", set the mean and standard deviation for the population from which you want a sample",
    ", enter the size of the sample you would like to draw",
    ", change the number of decimals as appropriate to the data",
    (", set minimum and maximum score values as appropriate for the data and choose the "
     "desired distribution")};
constexpr const char* kLastStepEndings[] = {
    ". Either click on the GENERATE button or press F9",
    ". When the Save As dialog box appears, give your file a name (or use the default ZEK_data "
    "name)",
    ". Two files are created, an information file and the data file -- both are shown (in that "
    "order) in the Generation Information and Data window"};

constexpr const char* kCorrelationStep =
    "10. In the CORRELATIONS box, set the correlation between V1 & V2 to the expected "
    "correlation between measures (or click the All=0.5 or Random button)";
constexpr const char* kGroup1 =
    "Group 1: Mean = 40, SD = 10, N = 25, # Decimals = 0, Min Score = 0, Max Score = 50, "
    "Distribution: - Skew";
constexpr const char* kGroup2 =
    "Group 2: Mean = 35, SD = 10, N = 25, # Decimals = 0, Min Score = 0, Max Score = 50, "
    "Distribution: Normal";

std::string Exam(const char* cell, int mean, const char* shape) {
    return std::string(cell) + ": Mean = " + std::to_string(mean) +
           ", SD = 10, N = 25, # Decimals = 0, Min Score = 0, Max Score = 50, Distribution: " +
           shape;
}

// NOLINTNEXTLINE(readability-function-size): the recipes' texts, a table
const RecipeText* TextOf(HowTo topic) {
    static const RecipeText kIndependent{
        DesignKind::TwoGroupsDV1,
        "How to Set Up ZEK to Generate Independent t-Test Data:",
        94,
        89,
        {"3. In the TYPE OF DATA box, click on the circle before \"1 DV\" under the \"Two Group "
         "Designs (# DVs)\" section so that the circle becomes black **"},
        "Group 1",
        {"8. Repeat Steps 4-7 for Group 2"},
        {"EXAMPLE:  To generate realistic exam scores for a 50 item exam, you might choose "
         "these population parameters:",
         kGroup1, kGroup2},
        {std::string(166, '-'),
         "** Note that the same procedure will work for 2 groups under the \"# of Indpendent "
         "Groups (1 DV)\" section"}};
    static const RecipeText kDependent{
        DesignKind::TwoDVGroups1,
        "How to Set Up ZEK to Generate Dependent t-Test Data:",
        92,
        100,
        {"3. In the TYPE OF DATA box, click on the circle before the \"1\" under the \"2 "
         "Dependent Variables (# Groups)\" section so that the circle becomes black",
         "4. You will treat Variable 1 as the first correlated variable (e.g., the pretest); "
         "Variable 2 would serve as the second (e.g., the posttest)"},
        "Variable 1",
        {"9. Repeat Steps 5-8 for Variable 2", kCorrelationStep},
        {"EXAMPLE:  To generate realistic pretest and posttest exam scores for a 50 item exam, "
         "you might choose these population parameters:",
         "Group 1: Mean = 30, SD = 10, N = 25, # Decimals = 0, Min Score = 0, Max Score = 50, "
         "Distribution: Normal",
         "Group 2: Mean = 40, SD = 10, N = 25, # Decimals = 0, Min Score = 0, Max Score = 50, "
         "Distribution: Normal",
         "Correlation: 0.6"},
        {}};
    static const RecipeText kBivariate{
        DesignKind::Regression1,
        "How to Set Up ZEK to Generate Bivariate Correlation or Regression Data:",
        117,
        102,
        {"3. In the TYPE OF DATA box, click on the circle before the \"1\" under the "
         "\"Regression (# predictors)\" section so that the circle becomes black",
         "4. If you are generating simple correlated data, the choice of Variable 1 (DV) and "
         "Variable 2 is arbitrary"},
        "Variable 1 (DV)",
        {"9. Repeat Steps 5-8 for Variable 2 (except that you will not be able to change the "
         "sample size, N, for Variable 2)",
         kCorrelationStep},
        {"EXAMPLE:  To generate realistic correlated heights (inches) and weights (pounds), you "
         "might choose these population parameters:",
         "Variable 1 (DV): Mean = 65, SD = 15, N = 25, # Decimals = 1, Min Score = 40, Max "
         "Score = 90, Distribution: Normal",
         "Variable 2: Mean = 150, SD = 20, N = 25, # Decimals = 0, no Min Score, no Max Score, "
         "Distribution: Normal",
         "Correlation: 0.5"},
        {}};
    static const RecipeText kOneWay{
        DesignKind::Groups3,
        "How to Set Up ZEK to Generate One-Way ANOVA Data:",
        94,
        99,
        {"3. In the TYPE OF DATA box, click on the circle before \"3\" or \"4\" etc, under the "
         "\"# of Independent Groups (1 DV)\" section so that the circle becomes black"},
        "each Group #",
        {},
        {"EXAMPLE:  To generate realistic exam scores for a 50 item exam for 3 Groups, you "
         "might choose these population parameters:",
         kGroup1, kGroup2, Exam("Group 3", 45, "- Skew")},
        {}};
    static const RecipeText kTwoWay{
        DesignKind::Factorial2x3,
        "How to Set Up ZEK to Generate Two-Way ANOVA Data:",
        94,
        102,
        {"3. In the TYPE OF DATA box, click on the circle before \"2x2\" or \"2x3\" or \"2x4\" "
         "under the \"Factorial Design (1 DV)\" section so that the circle becomes black"},
        "each Cell #",
        {},
        {"EXAMPLE:  To generate realistic exam scores for a 50 item exam for a 2x3 Design, you "
         "might choose these population parameters:",
         Exam("Cell (1,1)", 40, "- Skew"), Exam("Cell (1,2)", 35, "Normal"),
         Exam("Cell (1,3)", 45, "- Skew"), Exam("Cell (2,1)", 40, "- Skew"),
         Exam("Cell (2,2)", 30, "Normal"), Exam("Cell (2,3)", 35, "- Skew")},
        {}};
    static const RecipeText kMultiple{
        DesignKind::Regression3,
        "How to Set Up ZEK to Generate Multiple Regression Data:",
        117,
        98,
        {"3. In the TYPE OF DATA box, click on the circle before the \"2\" or \"3\" etc, under "
         "the \"Regression (# predictors)\" section so that the circle becomes black"},
        "Variable 1 (DV)",
        {"8. Repeat Steps 4-7 for the other (predictor) variables (except that you will not be "
         "able to change the sample size, N, for them)",
         "9. In the CORRELATIONS box, set the correlations between the variables (or click the "
         "All=0.5 or Random button)"},
        {"EXAMPLE:  To generate realistic data where weight (pounds) is the dependent variable, "
         "with height (inches)\n"
         "                    caloric intake, and waist size (inches) as predictors, you might "
         "choose these population parameters:",
         "Variable 1 (DV): Mean = 65, SD = 15, N = 25, # Decimals = 1, Min Score = 40, Max "
         "Score = 90, Distribution: Normal",
         "Variable 2: Mean = 150, SD = 30, N = 25, # Decimals = 0, no Min Score, no Max Score, "
         "Distribution: Normal",
         "Variable 3: Mean = 1800, SD = 400, N = 25, # Decimals = 1, no Min Score, no Max "
         "Score, Distribution: Normal",
         "Variable 4: Mean = 28, SD = 6, N = 25, # Decimals = 0, Min Score=15, no Max Score, "
         "Distribution: + Skew",
         "Click the RANDOM button or the ALL=.50 button"},
        {}};
    switch (topic) {
        case HowTo::IndependentTTest:
            return &kIndependent;
        case HowTo::DependentTTest:
            return &kDependent;
        case HowTo::BivariateRegression:
            return &kBivariate;
        case HowTo::OneWayAnova:
            return &kOneWay;
        case HowTo::TwoWayAnova:
            return &kTwoWay;
        case HowTo::MultipleRegression:
            return &kMultiple;
        case HowTo::ThreeWayAnova:
        case HowTo::OneWayManova:
        case HowTo::OneWayAncova:
        case HowTo::OneWayRepeatedMeasures:
        case HowTo::SplitPlotRepeatedMeasures:
        case HowTo::MultivariateRegression:
        case HowTo::FactorAnalysis:
        case HowTo::DiscriminantAnalysis:
            break;
    }
    return nullptr;
}

// A step is followed by an empty line; an example line too, except that a line may carry its
// own continuation after a line break.
void AddWithBlank(Lines& lines, const std::string& text) {
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         start = end + 1, end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    lines.emplace_back();
}

}  // namespace

const std::vector<HowToItem>& HowToItems() {
    static const std::vector<HowToItem> kItems{
        {HowTo::IndependentTTest, "IndependenttTest1", "Independent t-Test"},
        {HowTo::DependentTTest, "DependenttTest1", "Dependent t-Test"},
        {HowTo::BivariateRegression, "BivariateRegression1", "Bivariate Regression or Correlation"},
        {HowTo::OneWayAnova, "N3groupANOVA1", "One-Way ANOVA"},
        {HowTo::TwoWayAnova, "woWayANOVA1", "Two-Way ANOVA"},
        {HowTo::ThreeWayAnova, "hreeWayANOVA1", "Three-Way ANOVA"},
        {HowTo::OneWayManova, "MultivariateANOVA1", "One-Way MANOVA"},
        {HowTo::OneWayAncova, "ANCOVA1", "One-Way ANCOVA"},
        {HowTo::OneWayRepeatedMeasures, "OneWayRepeatedMeasures1", "One-Way Repeated Measures"},
        {HowTo::SplitPlotRepeatedMeasures, "SplitPlotRepeatedMeasures1",
         "Split-Plot Repeated Measures"},
        {HowTo::MultipleRegression, "MultipleRegression1", "Multiple Regression"},
        {HowTo::MultivariateRegression, "MultivariateRegression1", "Multivariate Regression"},
        {HowTo::FactorAnalysis, "FactorAnalysis1", "Factor Analysis"},
        {HowTo::DiscriminantAnalysis, "DiscriminantAnalysis1", "Discriminant Analysis"},
    };
    return kItems;
}

std::optional<Recipe> RecipeOf(HowTo topic) {
    const RecipeText* text = TextOf(topic);
    if (text == nullptr) return std::nullopt;
    Recipe recipe{text->design, {}};
    Lines& lines = recipe.lines;
    lines.push_back(text->heading);
    lines.push_back(std::string(static_cast<std::size_t>(text->dashes), '-'));
    lines.emplace_back();
    Lines steps(std::begin(kFirstSteps), std::end(kFirstSteps));
    steps.insert(steps.end(), text->ownSteps.begin(), text->ownSteps.end());
    for (const char* ending : kBoxStepEndings) {
        steps.push_back(std::to_string(steps.size() + 1) + ". For " + text->subject + ending);
    }
    steps.insert(steps.end(), text->furtherSteps.begin(), text->furtherSteps.end());
    for (const char* ending : kLastStepEndings) {
        steps.push_back(std::to_string(steps.size() + 1) + ending);
    }
    for (const std::string& step : steps) AddWithBlank(lines, step);

    // The example's first line stands between two lines of equals signs.
    const std::string equals(static_cast<std::size_t>(text->equals), '=');
    lines.push_back(equals);
    AddWithBlank(lines, text->example.front());
    lines.pop_back();
    lines.push_back(equals);
    lines.emplace_back();
    for (std::size_t k = 1; k < text->example.size(); ++k) AddWithBlank(lines, text->example[k]);
    lines.insert(lines.end(), text->closing.begin(), text->closing.end());
    return recipe;
}

std::string MeanAndSdHint() {
    return "Perhaps the easiest, reasonable approach is to set the STANDARD DEVIATION to be "
           "one-fifth (1/5) as large as the MEAN (obviously this does not work for data with a "
           "mean of zero).  \r\n\r\n"
           "For example, if you want the mean for your variable to be 50, 10 would be a very "
           "reasonable standard deviation.  Or for GPA data with a mean of 2.5, maybe 0.5 makes "
           "sense as an SD.  \r\n\r\n"
           "Another not-too-difficult approach is to figure out the approximate range you want "
           "for your data and divide it by four (4).  \r\n\r\n"
           "For example, if you want a range from about 70 to about 130 for a variable with a "
           "mean of 100, you might choose a standard deviation of 60/4 = 15 (about 95% of your "
           "data should be within that range).\r\n\r\n";
}

std::string RepeatedMeasuresHint() {
    return "With Options > Repeated Measures ticked, the variables of a design are the "
           "occasions of one outcome measured on the same cases: the correlated variables "
           "(2 to 8 occasions in one group), 2 groups with 2 to 4 variables (2 to 4 occasions, "
           "the groups between), 2 variables in 1 to 4 groups (2 occasions, the groups "
           "between) and 2 variables in the 2x2 design (2 occasions, both factors between). "
           "The Mixed Design buttons (2 groups measured on 3 or 4 occasions) are always "
           "repeated measures, ticked or not. "
           "Set each occasion's mean and SD in its box, and the correlations "
           "among the occasions in the grid. The answer key then adds the repeated-measures "
           "ANOVA (complete cases, Type III), its Greenhouse-Geisser and Huynh-Feldt "
           "corrections, Mauchly's test and paired t tests between the occasions.\r\n\r\n"
           "Sphericity: data whose occasions have equal SDs and equal correlations (the same "
           "value in every cell of the grid, e.g. Set All Correlations = .5) meet it in the "
           "population, so Mauchly's test rejects it only by chance and epsilon stays near "
           "1. Unequal correlations violate it: for example .8 between neighbouring "
           "occasions and .2 between distant ones, or SDs that grow from occasion to "
           "occasion; with enough cases Mauchly's test then rejects sphericity and epsilon "
           "falls below 1.\r\n\r\n";
}

std::string CategoricalDataHint() {
    return "The Categorical Data buttons count cases in categories instead of scoring them: one "
           "variable of 2 to 8 categories, or a table of two (2x2 to 3x4). Type each "
           "category's or cell's population percentage in the panel; the sum below it must "
           "show 100%.\r\n\r\n"
           "Percentages of all cases add up to 100 over the whole table: use them to test "
           "whether two variables are independent. Percentages of each column's cases add up "
           "to 100 within every column, and each column has its own N: use them for proportions "
           "in groups, such as the share of smokers among men and among women.\r\n\r\n"
           "The data file holds the codes 1, 2, ...; Names and Labels names the categories "
           "(var1 1 = never, 2 = former), and SPSS and Stata files carry those labels. The "
           "answer key gives the counts, the expected counts and the chi-square test as R's "
           "chisq.test gives it, with Yates' correction, Fisher's exact test and phi for 2x2 "
           "tables. Exact Sample Statistics makes every count the asked percentage of N as "
           "nearly as whole cases allow. A rare category may draw no case at all: its expected "
           "counts are then 0 and the chi-square test has no value, as in R.\r\n\r\n";
}

std::string LogisticRegressionHint() {
    return "The Logistic Regression buttons make an outcome of 0s and 1s with one to four "
           "continuous predictors. Type the outcome's population percentage of 1s in its box's "
           "% 1s entry (more than 0 and less than 100) and its N; the predictors' boxes are as "
           "in any regression.\r\n\r\n"
           "The outcome is a normal latent score, cut so that the asked percentage of the "
           "population lies above the cut: the grid's correlations in its DV row are the "
           "predictors' correlations with that latent score. The 0s and 1s correlate less "
           "with the predictors (point-biserial), most of all when the percentage is far from "
           "50. Exact Sample Statistics makes the share of 1s the asked one as nearly as whole "
           "cases allow.\r\n\r\n"
           "The answer key gives the logistic regression as R's summary(glm(y ~ x1 + ..., "
           "family = binomial)) does, over the cases with no missing value: each "
           "coefficient with its SE, z and p, the null and residual deviance with their df, "
           "and the AIC. A small class may draw an outcome that a predictor separates "
           "perfectly; R then stops with huge coefficients, and so does the key.\r\n\r\n";
}

std::string WhatsNew() {
    return "Main screen was changed to allow generation of single-group-single-variable data "
           "and correlated-variables-within-one-group data.\r\n\r\n"
           "Procedure for generating UNIFORM values was changed so that the user inputs "
           "MINIMUM and MAXIMUM instead of MEAN and SD.\r\n\r\n"
           "All other distribution options were changed NOT to reset to no minimum of maximum "
           "after changing to a new distribution.\r\n\r\n";
}

std::string UserAgreement() {
    return "ZEK is free to use, copy and give to students and colleagues for teaching, "
           "learning and research, provided that it is passed on whole and without charge.\r\n"
           "\r\n"
           "The data ZEK generates are simulated. They are meant for practising statistics and "
           "must not be presented as data observed in a real study.\r\n\r\n"
           "ZEK is provided as it is, without warranty of any kind, express or implied, "
           "including fitness for a particular purpose. The authors are not liable for any "
           "loss or damage arising from its use. Check the generated files before you rely on "
           "them in a class, an exam or a publication.\r\n";
}

std::string AcknowledgementsIntroduction() {
    return "Few computer programs are written in complete isolation.  Assistance from both "
           "colleagues and previously published algorithms typically play a role.  In "
           "particular, I'd like to acknowledge the help I received from the following folks:";
}

std::string Acknowledgements() {
    return "The colleagues who tried early versions in their classes and reported what their "
           "students needed.\r\n\r\n"
           "Uniform random numbers: P. L'Ecuyer (1988), Efficient and portable combined random "
           "number generators, Communications of the ACM 31, 742-749; with the shuffle table "
           "of C. Bays and S. D. Durham (1976), ACM Transactions on Mathematical Software 2, "
           "59-64.\r\n\r\n"
           "The subtractive generator: D. E. Knuth, The Art of Computer Programming, Vol. 2, "
           "Seminumerical Algorithms, section 3.6.\r\n\r\n"
           "Normal deviates by the polar method: G. Marsaglia and T. A. Bray (1964), A "
           "convenient method for generating normal variables, SIAM Review 6, 260-264.\r\n"
           "\r\n"
           "Beta variates as order statistics of uniform numbers: L. Devroye (1986), "
           "Non-Uniform Random Variate Generation, Springer, chapter IX.\r\n\r\n"
           "Correlated variables by the Cholesky factorisation of the correlation matrix: G. H. "
           "Golub and C. F. Van Loan, Matrix Computations, Johns Hopkins University Press.\r\n"
           "\r\n"
           "Pearson correlations with pairwise deletion of missing values: J. Cohen, P. Cohen, "
           "S. G. West and L. S. Aiken (2003), Applied Multiple Regression/Correlation Analysis "
           "for the Behavioral Sciences, 3rd edition, Erlbaum.\r\n";
}

std::string_view EarlierVersionLine() {
    return "Replaces every earlier version of ZEK; its files open here unchanged";
}

}  // namespace zek
