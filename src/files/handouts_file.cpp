#include "files/handouts_file.h"

#include "files/file_names.h"
#include "files/pdf_document.h"
#include "files/text_file.h"
#include "setup/data_columns.h"

namespace zek {

namespace {

std::string LevelList(const DataColumn& column) {
    std::string list;
    for (const auto& [level, label] : column.levelLabels) {
        list += (list.empty() ? "" : ", ") + std::to_string(level) + " = " + label;
    }
    return list;
}

std::string Holds(const DataColumn& column, ScaleScore scaleScore) {
    std::string holds = column.label;
    const auto add = [&holds](const std::string& more) {
        holds += holds.empty() ? more : " (" + more + ")";
    };
    switch (column.role) {
        case ColumnRole::Id:
            if (holds.empty()) holds = "the case's number";
            break;
        case ColumnRole::Grouping:
            add(column.levels > 0 ? "codes 1 to " + std::to_string(column.levels)
                                  : std::string("codes"));
            break;
        case ColumnRole::Score:
            if (column.Coded()) {
                add((column.ordered ? "points 1 to " : "codes 1 to ") +
                    std::to_string(column.levels));
            } else if (holds.empty()) {
                holds = "scores";
            }
            break;
        case ColumnRole::ScaleScore:
            if (holds.empty()) {
                holds = scaleScore == ScaleScore::Mean ? "each case's mean of the items"
                                                       : "each case's sum of the items";
            }
            break;
    }
    if (const std::string levels = LevelList(column); !levels.empty()) holds += ": " + levels;
    return holds;
}

// Lays out the handouts page by page, starting a page where the next line would not fit.
class HandoutLayout {
  public:
    explicit HandoutLayout(PdfDocument& document) : document_(document) {}

    /// A new page for the student `heading` names.
    void StartPage(std::string heading) {
        heading_ = std::move(heading);
        document_.AddPage();
        y_ = PdfDocument::kPageHeight - kMargin;
    }

    /// A paragraph wrapped within the margins from `indent` on.
    void Paragraph(std::string_view text, PdfFont font, double size, double indent = 0) {
        const double width = PdfDocument::kPageWidth - 2 * kMargin - indent;
        do {
            const std::size_t length = FittingLength(text, font, size, width);
            Line(text.substr(0, length), font, size, indent);
            text.remove_prefix(length);
            while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        } while (!text.empty());
    }

    /// A column's name and, beside it, what it holds, wrapped in its own column.
    void Column(const ColumnDescription& column) {
        constexpr double kSize = 10;
        const double nameWidth = TextWidth(column.name, PdfFont::Mono, kSize);
        const double indent = std::max(kNameColumn, nameWidth + 12);
        std::string_view holds = column.holds;
        const double width = PdfDocument::kPageWidth - 2 * kMargin - indent;
        bool first = true;
        do {
            const std::size_t length = FittingLength(holds, PdfFont::Regular, kSize, width);
            Advance(kSize);
            if (first) document_.Text(kMargin, y_, PdfFont::Mono, kSize, column.name);
            document_.Text(kMargin + indent, y_, PdfFont::Regular, kSize, holds.substr(0, length));
            holds.remove_prefix(length);
            while (!holds.empty() && holds.front() == ' ') holds.remove_prefix(1);
            first = false;
        } while (!holds.empty());
    }

    void Gap(double points) { y_ -= points; }

    void Rule() {
        Gap(8);
        document_.Line(kMargin, y_, PdfDocument::kPageWidth - kMargin, y_, 0.75);
        Gap(12);
    }

  private:
    static constexpr double kMargin = 56;
    static constexpr double kNameColumn = 110;

    void Line(std::string_view text, PdfFont font, double size, double indent) {
        Advance(size);
        document_.Text(kMargin + indent, y_, font, size, text);
    }

    // Moves down a line of `size` points, to a new page where the line would not fit.
    // A page that the student's text runs on to says whose it is, should it come apart.
    void Advance(double size) {
        const double height = size * 1.3;
        if (y_ - height < kMargin) {
            document_.AddPage();
            y_ = PdfDocument::kPageHeight - kMargin;
            constexpr double kNoteSize = 9;
            y_ -= kNoteSize * 1.3;
            document_.Text(kMargin, y_, PdfFont::Regular, kNoteSize, heading_ + ", continued");
            y_ -= kNoteSize;
        }
        y_ -= height;
    }

    PdfDocument& document_;
    double y_ = 0;
    std::string heading_;
};

}  // namespace

std::vector<ColumnDescription> DescribeColumns(const GenerationSetup& setup) {
    const DataColumns wide = DataColumnsOf(setup);
    const DataColumns columns = WritesLongLayout(setup) ? LongDataColumnsOf(wide) : wide;
    std::vector<ColumnDescription> described;
    for (const DataColumn& column : columns.all()) {
        described.push_back({column.name, Holds(column, setup.scaleScore)});
    }
    return described;
}

Verdict CheckHandoutText(const Handouts& handouts) {
    const auto refuse = [](const std::string& what, const std::string& character,
                           const char* focus) -> Verdict {
        return Refusal{"\"" + character + "\" in " + what +
                           " cannot be shown by the handouts' fonts, which show the letters "
                           "of Western European languages",
                       focus};
    };
    if (std::string c = FirstUnshowable(handouts.title); !c.empty()) {
        return refuse("the title", c, "txt_title");
    }
    std::string instructions = handouts.instructions;
    std::erase_if(instructions, [](char c) { return c == '\n' || c == '\r'; });
    if (std::string c = FirstUnshowable(instructions); !c.empty()) {
        return refuse("the instructions", c, "txt_instructions");
    }
    for (const ColumnDescription& column : handouts.columns) {
        if (std::string c = FirstUnshowable(column.name + column.holds); !c.empty()) {
            return refuse("the names and labels of column " + column.name, c, "");
        }
    }
    for (const StudentHandout& student : handouts.students) {
        if (std::string c = FirstUnshowable(student.name); !c.empty()) {
            return refuse("the roster's name of student " + student.id, c, "txt_roster");
        }
    }
    return std::nullopt;
}

void WriteHandouts(std::ostream& out, const Handouts& handouts) {
    PdfDocument document(handouts.title);
    HandoutLayout layout(document);
    for (const StudentHandout& student : handouts.students) {
        const std::string heading = student.name.empty() ? "Student " + student.id
                                    : student.id.empty() ? student.name
                                                         : student.name + " (" + student.id + ")";
        layout.StartPage(heading);
        if (!handouts.title.empty()) layout.Paragraph(handouts.title, PdfFont::Bold, 17);
        layout.Gap(6);
        layout.Paragraph(heading, PdfFont::Bold, 13);
        layout.Paragraph("Your data file: " + student.dataFile, PdfFont::Regular, 11);
        layout.Rule();
        if (!handouts.instructions.empty()) {
            for (const std::string_view paragraph : LinesOf(handouts.instructions)) {
                if (paragraph.empty()) {
                    layout.Gap(6);
                } else {
                    layout.Paragraph(paragraph, PdfFont::Regular, 11);
                }
            }
            layout.Rule();
        }
        layout.Paragraph("The columns of your data file", PdfFont::Bold, 12);
        layout.Gap(4);
        for (const ColumnDescription& column : handouts.columns) layout.Column(column);
        if (handouts.missingScores) {
            layout.Gap(6);
            layout.Paragraph("An empty field is a missing score.", PdfFont::Regular, 10);
        }
    }
    document.Write(out);
}

std::string HandoutsFileNameFor(std::string_view dataFilePath) {
    return CompanionFileName(dataFilePath, "_handouts.pdf");
}

}  // namespace zek
