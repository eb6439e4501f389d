#include "files/pdf_document.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zek {
namespace {

std::string Bytes(const PdfDocument& document) {
    std::ostringstream out;
    document.Write(out);
    return out.str();
}

TEST(PdfDocumentTest, EveryObjectStandsWhereTheCrossReferenceSays) {
    PdfDocument document("Statistik f\xC3\xBCr alle");
    document.Text(56, 780, PdfFont::Bold, 17, "Week (3) \\ exam");
    document.AddPage();
    document.Text(56, 780, PdfFont::Regular, 11,
                  "Jos\xC3\xA9 N\xC3\xBA\xC3\xB1\x65z \xE2\x80\x93 s1");
    document.Line(56, 770, 539.28, 770, 0.75);
    const std::string pdf = Bytes(document);
    EXPECT_EQ(pdf, Bytes(document)) << "the same document, the same bytes";
    ASSERT_EQ(pdf.rfind("%%EOF\n"), pdf.size() - 6);
    const std::size_t startxref = pdf.rfind("startxref\n");
    const std::size_t xref = std::stoul(pdf.substr(startxref + 10));
    ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    std::istringstream table(pdf.substr(xref + 5));
    int first = 0;
    int count = 0;
    table >> first >> count;
    ASSERT_EQ(count, 1 + 6 + 2 * 2);
    std::string offset;
    std::string generation;
    std::string kind;
    table >> offset >> generation >> kind;  // the free head of the list
    for (int object = 1; object < count; ++object) {
        table >> offset >> generation >> kind;
        ASSERT_EQ(offset.size(), 10u);
        const std::string header = std::to_string(object) + " 0 obj\n";
        EXPECT_EQ(pdf.compare(std::stoul(offset), header.size(), header), 0) << object;
    }
    // Text strings escape what would end them; letters beyond ASCII are Windows-1252 codes.
    EXPECT_NE(pdf.find("(Week \\(3\\) \\\\ exam) Tj"), std::string::npos);
    EXPECT_NE(pdf.find("(Jos\\351 N\\372\\361ez \\226 s1) Tj"), std::string::npos);
    EXPECT_NE(pdf.find("/Title <FEFF0053007400610074006900730074006900"), std::string::npos);
    EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
    // Stream lengths are the streams' bytes.
    const std::size_t length = pdf.find("/Length ");
    const std::size_t stream = pdf.find("stream\n", length) + 7;
    EXPECT_EQ(pdf.compare(stream + std::stoul(pdf.substr(length + 8)), 10, "endstream\n"), 0);
}

TEST(PdfDocumentTest, TextIsMeasuredAndBrokenAsTheFontsPrintIt) {
    // Helvetica's widths of H, e, l, l, o: 722 + 556 + 222 + 222 + 556 thousandths.
    EXPECT_DOUBLE_EQ(TextWidth("Hello", PdfFont::Regular, 10), 22.78);
    EXPECT_DOUBLE_EQ(TextWidth("Hello", PdfFont::Mono, 10), 30);
    EXPECT_GT(TextWidth("Hello", PdfFont::Bold, 10), TextWidth("Hello", PdfFont::Regular, 10));
    const std::string_view text = "Compare the two groups with a t test";
    const std::size_t fits = FittingLength(text, PdfFont::Regular, 10, 60);
    EXPECT_EQ(text.substr(0, fits), "Compare the") << "the space that overflows ends the line";
    EXPECT_LE(TextWidth("Compare the", PdfFont::Regular, 10), 60);
    EXPECT_EQ(FittingLength("Incomprehensibilities", PdfFont::Regular, 10, 30), 5u)
        << "a word wider than the line is broken within";
    EXPECT_EQ(FittingLength("W", PdfFont::Regular, 10, 1), 1u) << "at least one character";
    EXPECT_EQ(FittingLength("\xC3\xA9\xC3\xA9\xC3\xA9", PdfFont::Regular, 10, 12), 4u)
        << "never within a character";
}

TEST(PdfDocumentTest, SaysWhichCharacterTheStandardFontsCannotShow) {
    EXPECT_TRUE(
        Showable("Fran\xC3\xA7oise M\xC3\xBCller \xE2\x82\xAC 5 \xE2\x80\x94 \xC5\x92uvre"));
    EXPECT_EQ(FirstUnshowable("Micha\xC5\x82 Nowak"), "\xC5\x82");
    EXPECT_EQ(FirstUnshowable("\xE6\x9D\x8E\xE6\x98\x8E"), "\xE6\x9D\x8E");
    EXPECT_EQ(FirstUnshowable("bad \xFF byte"), "\xFF");
    EXPECT_EQ(FirstUnshowable("tab\there"), "");
}

}  // namespace
}  // namespace zek
