#include "files/moodle_quiz.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

namespace zek {
namespace {

double Number(const std::string& text) {
    return std::stod(text);
}

TEST(MoodleQuizTest, AToleranceAcceptsTheFigureRoundedToTheAskedDigitsAndNotTheNextNumber) {
    EXPECT_EQ(ClozeAnswerOf({"student_t", -3.639210072, FigureKind::Statistic, 0}, 3).tolerance,
              "0.005");
    EXPECT_EQ(ClozeAnswerOf({"student_p", 0.0008739585227, FigureKind::Probability, 0}, 3).value,
              "0.0008739585227");
    EXPECT_EQ(
        ClozeAnswerOf({"student_p", 0.0008739585227, FigureKind::Probability, 0}, 3).tolerance,
        "0.0000005");
    EXPECT_EQ(ClozeAnswerOf({"ss", 123456.7, FigureKind::Statistic, 0}, 2).tolerance, "5000");
    EXPECT_EQ(ClozeAnswerOf({"df", 36, FigureKind::Count, 0}, 3).tolerance, "0");
    EXPECT_EQ(ClozeAnswerOf({"df", 36, FigureKind::Count, 0}, 3).value, "36");
    // 9.9996 is 10.0 to three digits, whose last is the tenths.
    EXPECT_EQ(ClozeAnswerOf({"m", 9.9996, FigureKind::Score, 1}, 3).tolerance, "0.05");

    // What a student who rounds correctly types is accepted; one unit off in the last asked
    // digit is not.
    std::mt19937_64 random(38);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-7, 6);
    for (int k = 0; k < 20000; ++k) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        for (int digits = kFewestQuizDigits; digits <= kMostQuizDigits; ++digits) {
            const ClozeAnswer answer =
                ClozeAnswerOf({"x", value, FigureKind::Statistic, 0}, digits);
            std::ostringstream rounded;
            rounded.precision(digits);
            rounded << value;
            const double typed = std::stod(rounded.str());
            const double key = Number(answer.value);
            const double tolerance = Number(answer.tolerance);
            ASSERT_LE(std::abs(typed - key), tolerance * (1 + 1e-9)) << value << " " << digits;
            // A key figure half-way between two roundings accepts both.
            if (std::abs(std::abs(typed - key) - tolerance) < tolerance * 1e-6) continue;
            const double unit = 2 * tolerance;
            ASSERT_GT(std::abs(typed + unit - key), tolerance * (1 + 1e-9)) << value;
            ASSERT_GT(std::abs(typed - unit - key), tolerance * (1 + 1e-9)) << value;
            ASSERT_NEAR(key, value, std::abs(value) * 1e-9);
        }
    }
}

TEST(MoodleQuizTest, AttachmentsAreBase64AsRfc4648Writes) {
    EXPECT_EQ(Base64(""), "");
    EXPECT_EQ(Base64("f"), "Zg==");
    EXPECT_EQ(Base64("fo"), "Zm8=");
    EXPECT_EQ(Base64("foo"), "Zm9v");
    EXPECT_EQ(Base64("foob"), "Zm9vYg==");
    EXPECT_EQ(Base64("fooba"), "Zm9vYmE=");
    EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64(std::string("\xFF\x00\xFE", 3)), "/wD+");
}

TEST(MoodleQuizTest, TheChosenFiguresKeepTheKeysOrderAndAnUndefinedOneIsAnsweredNA) {
    const AnswerKey key{{{"Descriptives", {{"group1_n", 10, FigureKind::Count, 0}}},
                         {"t test",
                          {{"student_t", 2.5, FigureKind::Statistic, 0},
                           {"student_p", 0.02, FigureKind::Probability, 0},
                           {"cohens_d", std::nan(""), FigureKind::Statistic, 0}}}}};
    const std::vector<KeySection> chosen = ChosenFigures(key, {"student_p", "student_t"});
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].heading, "t test");
    ASSERT_EQ(chosen[0].figures.size(), 2u);
    EXPECT_EQ(chosen[0].figures[0].name, "student_t");
    const std::vector<KeySection> every = ChosenFigures(key, {});
    ASSERT_EQ(every.size(), 2u);
    ASSERT_EQ(every[1].figures.size(), 3u);
    EXPECT_EQ(ClozeBlank(every[1].figures[2], 3), "{1:SHORTANSWER:=NA}");
    EXPECT_EQ(ClozeBlank(every[1].figures[0], 3), "{1:NUMERICAL:=2.5:0.005}");
}

TEST(MoodleQuizTest, TheTeachersTextCannotOpenABlankOrBreakTheXml) {
    MoodleQuiz quiz{"Week 3/4 & more",
                    "Use {R} <or> SPSS",
                    3,
                    {{"q",
                      "s1",
                      "my class_s1.csv",
                      "id\r\n1\r\n",
                      {{"t", {{"student_t", 1.5, FigureKind::Statistic, 0}}}}}}};
    std::ostringstream out;
    WriteMoodleQuiz(out, quiz);
    const std::string xml = out.str();
    EXPECT_NE(xml.find("<text>$course$/top/Week 3//4 &amp; more</text>"), std::string::npos);
    EXPECT_NE(xml.find("Use &amp;#123;R&amp;#125; &amp;lt;or&amp;gt; SPSS"), std::string::npos);
    EXPECT_NE(xml.find("@@PLUGINFILE@@/my%20class_s1.csv"), std::string::npos);
    EXPECT_NE(xml.find("<file name=\"my class_s1.csv\" path=\"/\" encoding=\"base64\">aWQNCjENCg=="
                       "</file>"),
              std::string::npos);
    EXPECT_NE(xml.find("{1:NUMERICAL:=1.5:0.005}"), std::string::npos);
    EXPECT_EQ(xml.find('{'), xml.find("{1:NUMERICAL")) << "no brace but the blank's";
}

}  // namespace
}  // namespace zek
