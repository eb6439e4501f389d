#include "files/roster_file.h"

#include <gtest/gtest.h>

namespace zek {
namespace {

std::string RefusalOf(std::string_view text) {
    const Checked<std::vector<RosterStudent>> read = ReadRoster(text, "students.csv");
    return read ? std::string("(read)") : read.refusal().message;
}

TEST(RosterFileTest, ReadsWhatSpreadsheetsAndLearningPlatformsExport) {
    // A spreadsheet set to a decimal comma: BOM, semicolons, CR LF, a quoted name holding the
    // delimiter and a quote, columns in any order among others, a blank line.
    const Checked<std::vector<RosterStudent>> excel = ReadRoster(
        "\xEF\xBB\xBF"
        "Email;Full Name;Student ID\r\n"
        "a@x;\"Smith; Anna \"\"Annie\"\"\";s1234567\r\n"
        "\r\n"
        "j@x;Jos\xC3\xA9 N\xC3\xBA\xC3\xB1\x65z;S-7.6_5\r\n",
        "students.csv");
    ASSERT_TRUE(excel) << excel.refusal().message;
    ASSERT_EQ(excel->size(), 2u);
    EXPECT_EQ((*excel)[0].id, "s1234567");
    EXPECT_EQ((*excel)[0].name, "Smith; Anna \"Annie\"");
    EXPECT_EQ((*excel)[0].line, 2);
    EXPECT_EQ((*excel)[1].id, "S-7.6_5");
    EXPECT_EQ((*excel)[1].name, "Jos\xC3\xA9 N\xC3\xBA\xC3\xB1\x65z");
    EXPECT_EQ((*excel)[1].line, 4);

    // Moodle's user export: username and idnumber (the id number is preferred), first and
    // last names.
    const Checked<std::vector<RosterStudent>> moodle = ReadRoster(
        "username,firstname,lastname,idnumber\nanna,Anna,Smith,1001\nbo,Bo,,1002\n", "users.csv");
    ASSERT_TRUE(moodle);
    EXPECT_EQ((*moodle)[0].id, "1001");
    EXPECT_EQ((*moodle)[0].name, "Anna Smith");
    EXPECT_EQ((*moodle)[1].name, "Bo");

    // Ids alone.
    const Checked<std::vector<RosterStudent>> ids = ReadRoster("id\n7\n8\n", "ids.csv");
    ASSERT_TRUE(ids);
    EXPECT_EQ((*ids)[1].id, "8");
    EXPECT_EQ((*ids)[1].name, "");
}

TEST(RosterFileTest, RefusesWhatCannotNameAStudentsFilesWithItsLine) {
    EXPECT_EQ(RefusalOf("name,email\nAnna,a@x\n"),
              "students.csv line 1: the header names no id column (id, student id, id number, "
              "student number or username)");
    EXPECT_EQ(RefusalOf(""),
              "students.csv is empty: a roster starts with a header line such "
              "as id,name");
    EXPECT_EQ(RefusalOf("id,name\n"),
              "students.csv line 1: the roster lists no students below "
              "its header");
    EXPECT_EQ(RefusalOf("id,name\ns1,Anna\n,Bo\n"), "students.csv line 3: the student has no id");
    // Ids that would leave the folder, hide the file or not be a file name everywhere.
    for (const char* id : {"../s1", "s/1", "s 1", "s1:", "s\xC3\xA9", "con*"}) {
        EXPECT_NE(RefusalOf(std::string("id\ns0\n") + id + "\n")
                      .find("students.csv line 3: the student has the id \""),
                  std::string::npos)
            << id;
    }
    EXPECT_EQ(RefusalOf("id\n.hidden\n"),
              "students.csv line 2: the student has an id starting with '.'");
    EXPECT_EQ(RefusalOf("id\n" + std::string(65, 'a') + "\n"),
              "students.csv line 2: the student has an id longer than 64 characters");
    // Two files that differ in case alone are one file on Windows and macOS.
    EXPECT_EQ(RefusalOf("id,name\ns1,Anna\ns2,Bo\nS1,Cy\n"),
              "students.csv line 4: the id s1 is the id of line 2 too (ids must differ, also in "
              "case alone, as they name the students' files)");
    EXPECT_EQ(RefusalOf("id,name\ns1,\"Anna\n"),
              "students.csv line 2: a quote is not closed on its line");
}

TEST(RosterFileTest, AFileThatCannotBeReadIsNamed) {
    const Checked<std::vector<RosterStudent>> missing = ReadRosterFile("/nonexistent/roster.csv");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.refusal().message.find("/nonexistent/roster.csv"), std::string::npos);
    EXPECT_EQ(missing.refusal().focus, "txt_roster");
}

}  // namespace
}  // namespace zek
