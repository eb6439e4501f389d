#include "files/pdf_document.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <ostream>

#include "files/text_file.h"

namespace zek {

namespace {

// Glyph widths in thousandths of the font size of Windows-1252 codes 32 to 255 (0 where the
// code has no character), from the fonts' published metrics.
constexpr std::array<std::uint16_t, 224> kRegularWidths{
    278,  278, 355, 556, 556,  889, 667, 191, 333, 333, 389, 584,  278, 333,  278,  278,  556, 556,
    556,  556, 556, 556, 556,  556, 556, 556, 278, 278, 584, 584,  584, 556,  1015, 667,  667, 722,
    722,  667, 611, 778, 722,  278, 500, 667, 556, 833, 722, 778,  667, 778,  722,  667,  611, 722,
    667,  944, 667, 667, 611,  278, 278, 278, 469, 556, 333, 556,  556, 500,  556,  556,  278, 556,
    556,  222, 222, 500, 222,  833, 556, 556, 556, 556, 333, 500,  278, 556,  500,  722,  500, 500,
    500,  334, 260, 334, 584,  0,   556, 0,   222, 556, 333, 1000, 556, 556,  333,  1000, 667, 333,
    1000, 0,   611, 0,   0,    222, 222, 333, 333, 350, 556, 1000, 333, 1000, 500,  333,  944, 0,
    500,  667, 278, 333, 556,  556, 556, 556, 260, 556, 333, 737,  370, 556,  584,  333,  737, 333,
    400,  584, 333, 333, 333,  556, 537, 278, 333, 333, 365, 556,  834, 834,  834,  611,  667, 667,
    667,  667, 667, 667, 1000, 722, 667, 667, 667, 667, 278, 278,  278, 278,  722,  722,  778, 778,
    778,  778, 778, 584, 778,  722, 722, 722, 722, 667, 667, 611,  556, 556,  556,  556,  556, 556,
    889,  500, 556, 556, 556,  556, 278, 278, 278, 278, 556, 556,  556, 556,  556,  556,  556, 584,
    611,  556, 556, 556, 556,  500, 556, 500};
constexpr std::array<std::uint16_t, 224> kBoldWidths{
    278,  333, 474, 556, 556,  889, 722, 238, 333, 333, 389, 584,  278, 333,  278, 278,  556, 556,
    556,  556, 556, 556, 556,  556, 556, 556, 333, 333, 584, 584,  584, 611,  975, 722,  722, 722,
    722,  667, 611, 778, 722,  278, 556, 722, 611, 833, 722, 778,  667, 778,  722, 667,  611, 722,
    667,  944, 667, 667, 611,  333, 278, 333, 584, 556, 333, 556,  611, 556,  611, 556,  333, 611,
    611,  278, 278, 556, 278,  889, 611, 611, 611, 611, 389, 556,  333, 611,  556, 778,  556, 556,
    500,  389, 280, 389, 584,  0,   556, 0,   278, 556, 500, 1000, 556, 556,  333, 1000, 667, 333,
    1000, 0,   611, 0,   0,    278, 278, 500, 500, 350, 556, 1000, 333, 1000, 556, 333,  944, 0,
    500,  667, 278, 333, 556,  556, 556, 556, 280, 556, 333, 737,  370, 556,  584, 333,  737, 333,
    400,  584, 333, 333, 333,  611, 556, 278, 333, 333, 365, 556,  834, 834,  834, 611,  722, 722,
    722,  722, 722, 722, 1000, 722, 667, 667, 667, 667, 278, 278,  278, 278,  722, 722,  778, 778,
    778,  778, 778, 584, 778,  722, 722, 722, 722, 667, 667, 611,  556, 556,  556, 556,  556, 556,
    889,  556, 556, 556, 556,  556, 278, 278, 278, 278, 611, 611,  611, 611,  611, 611,  611, 584,
    611,  611, 611, 611, 611,  556, 611, 556};
constexpr std::uint16_t kMonoWidth = 600;

// The characters of Windows-1252 codes 0x80 to 0x9F (0 where the code has none); the other
// codes from 32 on are the Unicode characters of the same number.
constexpr std::array<char32_t, 32> kCodes80To9F{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct DecodedCharacter {
    char32_t character = 0;
    std::size_t length = 1;
};

// One character of UTF-8 at `text[at]`; a malformed byte is a character of its own that no
// font shows.
DecodedCharacter DecodeAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || at + length > text.size()) return {0xFFFD, 1};
    char32_t character = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) return {0xFFFD, 1};
        character = (character << 6) | (byte(at + k) & 0x3F);
    }
    return {character, length};
}

// The Windows-1252 code of `character`; 0 where it has none (control characters included,
// but for a tab, which is a space).
unsigned char CodeOf(char32_t character) {
    if (character == '\t') return ' ';
    if (character >= 32 && character < 0x7F) return static_cast<unsigned char>(character);
    if (character >= 0xA0 && character <= 0xFF) return static_cast<unsigned char>(character);
    for (std::size_t k = 0; k < kCodes80To9F.size(); ++k) {
        if (kCodes80To9F[k] != 0 && kCodes80To9F[k] == character) {
            return static_cast<unsigned char>(0x80 + k);
        }
    }
    return 0;
}

// `text` in Windows-1252, '?' for what it cannot hold.
std::string Encoded(std::string_view text) {
    std::string codes;
    for (std::size_t at = 0; at < text.size();) {
        const DecodedCharacter decoded = DecodeAt(text, at);
        const unsigned char code = CodeOf(decoded.character);
        codes += static_cast<char>(code == 0 ? '?' : code);
        at += decoded.length;
    }
    return codes;
}

double CodeWidth(unsigned char code, PdfFont font) {
    if (font == PdfFont::Mono) return kMonoWidth;
    const auto& widths = font == PdfFont::Bold ? kBoldWidths : kRegularWidths;
    return code >= 32 ? widths[code - 32] : 0;
}

// A number of points with two places, written the same whatever the C library's locale.
void AppendPoints(std::string& out, double value) {
    const long long hundredths = std::llround(value * 100);
    if (hundredths < 0) out += '-';
    const long long magnitude = hundredths < 0 ? -hundredths : hundredths;
    out += std::to_string(magnitude / 100);
    const long long places = magnitude % 100;
    if (places != 0) {
        out += '.';
        out += static_cast<char>('0' + places / 10);
        if (places % 10 != 0) out += static_cast<char>('0' + places % 10);
    }
}

// An operator of a content stream after its operands.
void AppendOperation(std::string& out, std::initializer_list<double> operands,
                     std::string_view name) {
    for (const double operand : operands) {
        AppendPoints(out, operand);
        out += ' ';
    }
    out += name;
}

// A PDF string of Windows-1252 codes; bytes beyond ASCII are escaped, so the file stays
// plain ASCII.
void AppendPdfString(std::string& out, std::string_view codes) {
    out += '(';
    for (const char c : codes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 32 || byte >= 127) {
            constexpr std::string_view kOctal = "01234567";
            out += '\\';
            out += kOctal[(byte >> 6) & 7];
            out += kOctal[(byte >> 3) & 7];
            out += kOctal[byte & 7];
        } else {
            out += c;
        }
    }
    out += ')';
}

// A text string of the document's properties in UTF-16BE, which shows any character.
void AppendUnicodeString(std::string& out, std::string_view text) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    const auto unit = [&](std::uint32_t value) {
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
    };
    out += "<FEFF";
    for (std::size_t at = 0; at < text.size();) {
        const DecodedCharacter decoded = DecodeAt(text, at);
        const std::uint32_t character = decoded.character;
        if (character >= 0x10000) {
            unit(0xD800 + ((character - 0x10000) >> 10));
            unit(0xDC00 + ((character - 0x10000) & 0x3FF));
        } else {
            unit(character);
        }
        at += decoded.length;
    }
    out += '>';
}

const char* ResourceName(PdfFont font) {
    switch (font) {
        case PdfFont::Regular:
            return "/F1";
        case PdfFont::Bold:
            return "/F2";
        case PdfFont::Mono:
            return "/F3";
    }
    return "/F1";
}

}  // namespace

bool Showable(std::string_view text) {
    return FirstUnshowable(text).empty();
}

std::string FirstUnshowable(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const DecodedCharacter decoded = DecodeAt(text, at);
        if (CodeOf(decoded.character) == 0) return std::string(text.substr(at, decoded.length));
        at += decoded.length;
    }
    return {};
}

double TextWidth(std::string_view text, PdfFont font, double size) {
    double thousandths = 0;
    for (const char code : Encoded(text)) {
        thousandths += CodeWidth(static_cast<unsigned char>(code), font);
    }
    return thousandths * size / 1000;
}

std::size_t FittingLength(std::string_view text, PdfFont font, double size, double width) {
    double used = 0;
    std::size_t lastSpace = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const DecodedCharacter decoded = DecodeAt(text, at);
        const unsigned char code = CodeOf(decoded.character);
        used += CodeWidth(code == 0 ? '?' : code, font) * size / 1000;
        // A space that overflows ends the line it follows.
        if (used > width && at > 0)
            return lastSpace > 0 && decoded.character != ' ' ? lastSpace : at;
        at += decoded.length;
        if (decoded.character == ' ') lastSpace = at;
    }
    return text.size();
}

PdfDocument::PdfDocument(std::string title) : title_(std::move(title)) {}

void PdfDocument::AddPage() {
    pages_.emplace_back();
}

void PdfDocument::Text(double x, double y, PdfFont font, double size, std::string_view text) {
    if (pages_.empty()) AddPage();
    std::string& page = pages_.back();
    page += "BT ";
    page += ResourceName(font);
    page += ' ';
    AppendOperation(page, {size}, "Tf ");
    AppendOperation(page, {x, y}, "Td ");
    AppendPdfString(page, Encoded(text));
    page += " Tj ET\n";
}

void PdfDocument::Line(double x1, double y1, double x2, double y2, double thickness) {
    if (pages_.empty()) AddPage();
    std::string& page = pages_.back();
    AppendOperation(page, {thickness}, "w ");
    AppendOperation(page, {x1, y1}, "m ");
    AppendOperation(page, {x2, y2}, "l S\n");
}

void PdfDocument::Write(std::ostream& out) const {
    // Objects: 1 catalog, 2 page tree, 3 to 5 fonts, 6 properties, then per page its page
    // and its content.
    constexpr int kFirstPageObject = 7;
    std::string file = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets;
    const auto begin = [&] {
        offsets.push_back(file.size());
        file += std::to_string(offsets.size()) + " 0 obj\n";
    };
    begin();
    file += "<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";
    begin();
    file += "<< /Type /Pages /Kids [";
    for (std::size_t page = 0; page < pages_.size(); ++page) {
        file += (page == 0 ? "" : " ") + std::to_string(kFirstPageObject + 2 * page) + " 0 R";
    }
    file += "] /Count " + std::to_string(pages_.size()) + " >>\nendobj\n";
    for (const char* font : {"Helvetica", "Helvetica-Bold", "Courier"}) {
        begin();
        file += std::string("<< /Type /Font /Subtype /Type1 /BaseFont /") + font +
                " /Encoding /WinAnsiEncoding >>\nendobj\n";
    }
    begin();
    file += "<< /Title ";
    AppendUnicodeString(file, title_);
    file += " /Producer (ZEK) >>\nendobj\n";
    std::string mediaBox = "[0 0 ";
    AppendPoints(mediaBox, kPageWidth);
    mediaBox += ' ';
    AppendPoints(mediaBox, kPageHeight);
    mediaBox += ']';
    for (std::size_t page = 0; page < pages_.size(); ++page) {
        begin();
        file += "<< /Type /Page /Parent 2 0 R /MediaBox " + mediaBox +
                " /Resources << /Font << /F1 3 0 R /F2 4 0 R /F3 5 0 R >> >> /Contents " +
                std::to_string(kFirstPageObject + 2 * page + 1) + " 0 R >>\nendobj\n";
        begin();
        file += "<< /Length " + std::to_string(pages_[page].size()) + " >>\nstream\n" +
                pages_[page] + "endstream\nendobj\n";
    }
    const std::size_t crossReference = file.size();
    file += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        std::string number = std::to_string(offset);
        file += std::string(10 - number.size(), '0') + number + " 00000 n \n";
    }
    file += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
            " /Root 1 0 R /Info 6 0 R >>\nstartxref\n" + std::to_string(crossReference) +
            "\n%%EOF\n";
    WriteChecked(out, file);
}

}  // namespace zek
