// A small PDF writer for printed handouts: pages of text in the PDF's standard fonts
// (Helvetica, Helvetica-Bold, Courier) and ruled lines. The standard fonts need no font file,
// so the window, zek-generate and the page write the same bytes on every system; they show
// the characters of Windows-1252 (Western European), which `Showable` tells apart.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace zek {

enum class PdfFont { Regular, Bold, Mono };

/// Whether every character of UTF-8 `text` can be shown by the standard fonts.
bool Showable(std::string_view text);

/// The first character of UTF-8 `text` that the standard fonts cannot show, as UTF-8; empty
/// when there is none.
std::string FirstUnshowable(std::string_view text);

/// The width in points of UTF-8 `text` in `font` at `size` points.
double TextWidth(std::string_view text, PdfFont font, double size);

/// The longest start of `text` that fits in `width`, broken after a space where one is (else
/// within a word), and at least one character; the rest follows.
std::size_t FittingLength(std::string_view text, PdfFont font, double size, double width);

class PdfDocument {
  public:
    /// A4, in points.
    static constexpr double kPageWidth = 595.28;
    static constexpr double kPageHeight = 841.89;

    /// `title` goes into the document's properties.
    explicit PdfDocument(std::string title);

    /// Starts a new page; what follows is drawn on it.
    void AddPage();
    /// Draws UTF-8 `text` with its baseline starting at (`x`, `y`), from the page's lower
    /// left corner. A character the font cannot show is drawn as '?'.
    void Text(double x, double y, PdfFont font, double size, std::string_view text);
    /// A line `thickness` points wide.
    void Line(double x1, double y1, double x2, double y2, double thickness);

    int pageCount() const { return static_cast<int>(pages_.size()); }

    /// The document's bytes. Throws `StreamError` when `out` fails.
    void Write(std::ostream& out) const;

  private:
    std::string title_;
    std::vector<std::string> pages_;  ///< each page's content stream
};

}  // namespace zek
