// The students' handouts of a class set: one PDF for the class, a page per student (more
// where the teacher's instructions run long) with the set's title, the student's name and
// id, their data file and what each of its columns holds.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "setup/generation_setup.h"
#include "setup/refusal.h"

namespace zek {

/// A column of the data file as a handout describes it.
struct ColumnDescription {
    std::string name;
    std::string holds;  ///< "group: 1 = control, 2 = drug", "anxiety (points 1 to 5)"
};

/// The columns of the data files of `setup`, described for students: their labels, codes and
/// level labels, without the population's figures.
std::vector<ColumnDescription> DescribeColumns(const GenerationSetup& setup);

struct StudentHandout {
    std::string id;
    std::string name;
    std::string dataFile;  ///< the file's name, without its folder
};

struct Handouts {
    std::string title;
    std::string instructions;  ///< the teacher's, paragraphs between line breaks
    std::vector<ColumnDescription> columns;
    /// An empty field of the data file is a missing score.
    bool missingScores = false;
    std::vector<StudentHandout> students;
};

/// Refuses handouts with text the PDF's standard fonts cannot show, saying where it is
/// (`focus` the control that holds it).
Verdict CheckHandoutText(const Handouts& handouts);

/// Writes the handouts as one PDF. Throws `StreamError`.
void WriteHandouts(std::ostream& out, const Handouts& handouts);

/// "class.csv" gives "class_handouts.pdf".
std::string HandoutsFileNameFor(std::string_view dataFilePath);

}  // namespace zek
