#include "cli/generate_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace zek {
namespace {

Checked<GenerateOptions> Parse(std::vector<const char*> args) {
    return ParseGenerateOptions(static_cast<int>(args.size()), args.data());
}

std::string ErrorOf(std::vector<const char*> args) {
    const Checked<GenerateOptions> parsed = Parse(std::move(args));
    return parsed ? "" : parsed.refusal().message;
}

TEST(GenerateOptions, ReadsEveryOption) {
    const auto parsed = Parse({"setup.TXT", "-o", "out/scores", "--count", "12", "--seed", "-5",
                               "--reliability", "0,8", "--beta", "2", "10", "--threads", "3"});
    ASSERT_TRUE(parsed);
    const GenerateOptions& options = *parsed;
    EXPECT_EQ(options.setupFile, "setup.TXT");
    EXPECT_EQ(options.dataFile, "out/scores.TXT");
    EXPECT_EQ(options.count, 12);
    EXPECT_EQ(options.threads, 3);
    EXPECT_EQ(options.seed, -5);
    EXPECT_EQ(options.reliability, 0.8);
    EXPECT_EQ(options.betaLow, 2);
    EXPECT_EQ(options.betaHigh, 10);

    const GenerateOptions defaults = *Parse({"s.TXT"});
    EXPECT_EQ(defaults.dataFile, "ZEK_data.TXT");
    EXPECT_EQ(defaults.count, 1);
    EXPECT_EQ(defaults.threads, 0) << "as many as the cores take";
    EXPECT_FALSE(defaults.seed.has_value());
    EXPECT_TRUE(Parse({"--help"})->help);
}

TEST(GenerateOptions, RefusesWithTheDialogsMessages) {
    const std::string reliabilityRange =
        "Reliability must be greater than 0.0 and less than or equal to 1.0";
    EXPECT_EQ(ErrorOf({"s", "--reliability", "0.005"}), reliabilityRange);
    EXPECT_EQ(ErrorOf({"s", "--reliability", "1.0001"}), reliabilityRange);
    EXPECT_EQ(ErrorOf({"s", "--reliability", "abc"}), "Reliability must be a numeric value");
    EXPECT_EQ(ErrorOf({"s", "--reliability", "0.8"}), "");
    EXPECT_EQ(ErrorOf({"s", "--reliability", "0,8"}), "");
    EXPECT_EQ(ErrorOf({"s", "--reliability", "1,000.5"}), "Reliability must be a numeric value");
    EXPECT_EQ(ErrorOf({"s", "--reliability", "0.01"}), "");
    const std::string beta =
        "Beta Parameters must be INTEGER values from 1 to 10 (LOW value must be less than or "
        "equal to HIGH value).";
    EXPECT_EQ(ErrorOf({"s", "--beta", "3", "2"}), beta);
    EXPECT_EQ(ErrorOf({"s", "--beta", "2", "11"}), beta);
    EXPECT_EQ(ErrorOf({"s", "--beta", "11", "15"}), beta);
    EXPECT_EQ(ErrorOf({"s", "--beta", "0", "5"}), beta);
    EXPECT_EQ(ErrorOf({"s", "--beta", "x", "5"}), beta);
    EXPECT_EQ(ErrorOf({"s", "--beta", "1", "1"}), "");
    EXPECT_EQ(ErrorOf({"s", "--scale-score", "total"}), "--scale-score takes sum or mean");
    EXPECT_EQ(ErrorOf({"s", "--scale-score"}), "--scale-score takes sum or mean");
    EXPECT_EQ(Parse({"s", "--scale-score", "mean"})->scaleScore, ScaleScore::Mean);
    // One seed rule with the window's, naming the option: the lowest int32 has no negation.
    EXPECT_EQ(ErrorOf({"s", "--seed", "1.5"}), "--seed: Seed must be an INTEGER value");
    EXPECT_EQ(ErrorOf({"s", "--seed", "-2147483648"}), "--seed: Seed must be an INTEGER value");
    EXPECT_EQ(ErrorOf({"s", "--seed", "-2147483647"}), "");
    const std::string count = "--count needs a whole number from 1 to 100000";
    EXPECT_EQ(ErrorOf({"s", "--count", "0"}), count);
    EXPECT_EQ(ErrorOf({"s", "--count", "100001"}), count);
    EXPECT_EQ(ErrorOf({"s", "--count", "100000"}), "");
    EXPECT_FALSE(ErrorOf({"s", "--count"}).empty());
    const std::string threads = "--threads needs a whole number from 1 to 256";
    EXPECT_EQ(ErrorOf({"s", "--threads", "0"}), threads);
    EXPECT_EQ(ErrorOf({"s", "--threads", "257"}), threads);
    EXPECT_EQ(ErrorOf({"s", "--threads"}), threads);
    EXPECT_FALSE(ErrorOf({"s", "--frobnicate"}).empty());
    EXPECT_FALSE(ErrorOf({}).empty());
    EXPECT_FALSE(ErrorOf({"a", "b"}).empty());
}

TEST(GenerateOptions, ARosterHandoutsAndAQuizGoTogetherAsTheyCan) {
    const auto parsed = Parse({"s", "--roster", "students.csv", "--handouts", "--instructions",
                               "tasks.txt", "--moodle", "quiz.xml", "--quiz-figures",
                               "student_t, student_p", "--quiz-digits", "4"});
    ASSERT_TRUE(parsed) << parsed.refusal().message;
    EXPECT_EQ(parsed->rosterFile, "students.csv");
    EXPECT_TRUE(parsed->handouts);
    EXPECT_EQ(parsed->instructionsFile, "tasks.txt");
    EXPECT_EQ(parsed->quizFile, "quiz.xml");
    EXPECT_EQ(parsed->quizFigures, (std::vector<std::string>{"student_t", "student_p"}));
    EXPECT_EQ(parsed->quizDigits, 4);

    EXPECT_EQ(ErrorOf({"s", "--roster", "r.csv", "--count", "3"}),
              "--roster gives a dataset per student: leave out --count");
    EXPECT_EQ(ErrorOf({"s", "--moodle", "q.xml", "--no-key"}),
              "--moodle asks the key's figures: it cannot go with --no-key");
    EXPECT_EQ(ErrorOf({"s", "--quiz-figures", "student_t"}),
              "--quiz-figures and --quiz-digits go with --moodle");
    EXPECT_EQ(ErrorOf({"s", "--moodle", "q.xml", "--quiz-digits", "7"}),
              "--quiz-digits needs a whole number from 2 to 6");
    EXPECT_EQ(ErrorOf({"s", "--moodle", "q.xml", "--quiz-figures", " , "}),
              "--quiz-figures needs the names of key figures");
    EXPECT_EQ(ErrorOf({"s", "--roster", "--handouts"}), "--roster needs the name of a file");
    EXPECT_EQ(ErrorOf({"s", "--moodle"}), "--moodle needs the name of a file");
}

}  // namespace
}  // namespace zek
