#!/usr/bin/env python3
"""A class set of 30 from a roster, as zek-generate writes it, checked as its readers read it:
the datasets by name, the class key's rows, the handouts through pdftotext, and the Moodle quiz
through an XML parser and a reader of Moodle's Cloze syntax written from its documentation.

usage: class_handouts_check.py ZEK_GENERATE GOLDEN_DIR WORK_DIR
"""
import base64
import csv
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

zek_generate, golden, work = (os.path.abspath(path) for path in sys.argv[1:4])
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*arguments):
    return subprocess.run([zek_generate, *arguments], cwd=work, capture_output=True, text=True,
                          timeout=300)


# Moodle's documentation of embedded answers: {WEIGHT:TYPE:ANSWERS}, TYPE in capitals (NM for
# NUMERICAL), answers parted by ~, each "=" or "%PERCENT%" before a correct one, then the
# answer, for NUMERICAL ":TOLERANCE" after it, and "#FEEDBACK" last.
CLOZE = re.compile(r"\{(\d*):([A-Z_]+):([^{}]*)\}")


def cloze_answers(text):
    """The blanks of a question text: (value, tolerance) of each NUMERICAL one's correct
    answer, None for a SHORTANSWER one whose answer is NA (a figure the key cannot compute)."""
    blanks = []
    for weight, kind, answers in CLOZE.findall(text):
        if kind in ("SHORTANSWER", "SA", "MW") and answers == "=NA":
            blanks.append(None)
            continue
        if kind not in ("NUMERICAL", "NM"):
            raise ValueError("not a numerical blank: " + kind)
        correct = []
        for answer in answers.split("~"):
            answer = answer.split("#", 1)[0]
            match = re.fullmatch(r"(=|%100%)([-+]?[0-9.eE+-]+)(?::([0-9.eE+-]+))?", answer)
            if match:
                correct.append((float(match.group(2)), float(match.group(3) or 0)))
        if len(correct) != 1:
            raise ValueError("a blank without one correct answer: " + answers)
        blanks.append(correct[0])
    if text.count("{") != len(blanks):
        raise ValueError("a brace outside a blank")
    return blanks


# A roster as a spreadsheet with a decimal comma exports it: BOM, semicolons, CR LF, quotes.
students = [("s%07d" % (1000000 + 37 * k), "Student %d, Jos\u00e9" % k) for k in range(1, 31)]
with open(os.path.join(work, "roster.csv"), "w", encoding="utf-8-sig", newline="") as roster:
    roster.write("Email;Student ID;Full name\r\n")
    for student_id, name in students:
        roster.write('x@y;%s;"%s"\r\n' % (student_id, name))
with open(os.path.join(work, "instructions.txt"), "w", encoding="utf-8") as instructions:
    instructions.write("Load your data file into R.\nCompare the groups with Student's t test "
                       "and report t, df and p {to three digits}.\n")
figures = ["dv1_mean_difference", "dv1_student_t", "dv1_student_df", "dv1_student_p"]
result = run(os.path.join(golden, "10_2group2dv", "input.TXT"), "-o", "exam.csv",
             "--roster", "roster.csv", "--seed", "7000", "--handouts", "--instructions",
             "instructions.txt", "--moodle", "quiz.xml", "--quiz-figures", ",".join(figures),
             "--quiz-digits", "4")
check(result.returncode == 0, "zek-generate failed: " + result.stderr)

# The datasets and the class key.
with open(os.path.join(work, "exam_key.csv"), newline="", encoding="utf-8") as key_file:
    key = list(csv.DictReader(key_file))
check(len(key) == 30, "the class key has %d rows" % len(key))
for position, ((student_id, name), row) in enumerate(zip(students, key), start=1):
    check(row["id"] == student_id and row["name"] == name, "key row %d: %s" % (position, row))
    check(row["seed"] == str(7000 + position - 1), "seed of row %d" % position)
    check(row["data_file"] == "exam_%s.csv" % student_id, "data file of row %d" % position)
    check(os.path.exists(os.path.join(work, row["data_file"])), row["data_file"] + " missing")

# The handouts: a page per student with their name, id, file and the columns.
pages = subprocess.run(["pdftotext", "-layout", os.path.join(work, "exam_handouts.pdf"), "-"],
                       capture_output=True, text=True, timeout=60).stdout.split("\f")
pages = [page for page in pages if page.strip()]
check(len(pages) == 30, "the handouts have %d pages" % len(pages))
for (student_id, name), page in zip(students, pages):
    check("%s (%s)" % (name, student_id) in page, "no name and id on the page of " + student_id)
    check("Your data file: exam_%s.csv" % student_id in page, "no file on " + student_id)
    check("Compare the groups with Student's t test" in page, "no instructions on " + student_id)
    check(re.search(r"group\s+codes 1 to 2", page) is not None, "no columns on " + student_id)

# The quiz: a category and 30 Cloze questions, each with its student's file and key figures.
quiz = ElementTree.parse(os.path.join(work, "quiz.xml")).getroot()
check(quiz.tag == "quiz", "the root is " + quiz.tag)
questions = quiz.findall("question")
check(questions[0].get("type") == "category", "no category first")
check(questions[0].findtext("category/text", "").startswith("$course$/top/"), "category path")
cloze = [q for q in questions if q.get("type") == "cloze"]
check(len(cloze) == 30 and len(questions) == 31, "%d questions" % len(questions))
for row, question in zip(key, cloze):
    text = question.findtext("questiontext/text")
    attached = question.findall("questiontext/file")
    check(len(attached) == 1, "files of " + row["id"])
    file = attached[0]
    check(file.get("name") == row["data_file"] and file.get("encoding") == "base64"
          and file.get("path") == "/", "file of " + row["id"])
    with open(os.path.join(work, row["data_file"]), "rb") as data:
        check(base64.b64decode(file.text, validate=True) == data.read(),
              "the attached file is not " + row["data_file"])
    check('href="@@PLUGINFILE@@/%s"' % row["data_file"] in text, "no link to the file")
    check(question.findtext("idnumber") == row["id"], "idnumber of " + row["id"])
    try:
        blanks = cloze_answers(text)
    except ValueError as error:
        failures.append("%s: %s" % (row["id"], error))
        continue
    check(len(blanks) == len(figures), "%d blanks for %s" % (len(blanks), row["id"]))
    for figure, blank in zip(figures, blanks):
        if blank is None:
            check(row[figure] == "NA", "%s of %s is NA only where the key's is" % (figure, row["id"]))
            continue
        value, tolerance = blank
        expected = float(row[figure])
        check(abs(value - expected) <= 1e-9 * abs(expected), "%s of %s" % (figure, row["id"]))
        if figure.endswith("_df"):
            check(tolerance == 0, "df asked exactly")
        else:
            # Half a unit of the fourth significant digit.
            exponent = int(f"{expected:.3e}".split("e")[1])
            check(abs(tolerance - 0.5 * 10 ** (exponent - 3)) <= 1e-12 * 10 ** exponent,
                  "tolerance of %s: %s" % (figure, tolerance))

# Refusals name the roster's line and write nothing.
before = sorted(os.listdir(work))
with open(os.path.join(work, "clash.csv"), "w") as roster:
    roster.write("id\ns1\nS1\n")
result = run(os.path.join(golden, "02_2groups", "input.TXT"), "-o", "exam.csv", "--roster",
             "clash.csv")
check(result.returncode == 2 and "clash.csv line 3: the id s1 is the id of line 2" in result.stderr,
      "a clashing roster: " + result.stderr)
with open(os.path.join(work, "unsafe.csv"), "w") as roster:
    roster.write("id\n../../etc\n")
result = run(os.path.join(golden, "02_2groups", "input.TXT"), "-o", "exam.csv", "--roster",
             "unsafe.csv")
check(result.returncode == 2 and "unsafe.csv line 2" in result.stderr, "an unsafe id")
result = run(os.path.join(golden, "02_2groups", "input.TXT"), "-o", "exam.csv", "--roster",
             "roster.csv", "--moodle", "exam_key.csv")
check(result.returncode == 2 and "is a file of the set itself" in result.stderr,
      "a quiz over the class key: " + result.stderr)
check(sorted(os.listdir(work)) == sorted(before + ["clash.csv", "unsafe.csv"]), "a refusal wrote files")

for failure in failures[:40]:
    print(failure)
sys.exit(1 if failures else 0)
