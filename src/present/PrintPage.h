#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "results/HitReport.h"

// The printed page as data: a document of pages, each an ordered list of drawing items in
// page units of 0.1 mm from the top-left corner of the printer's printable area (x to the
// right, y downward). The sheets compose pages here without Qt; the renderer turns them
// into painter calls for the preview, a printer or a PDF, and vornal-cli prints them as
// JSON so that every position is checkable as data.
namespace vornal {

// The two fonts of the sheets.
inline constexpr std::string_view kPrintFont = "ＭＳ ゴシック";               // UTF-8
inline constexpr std::string_view kPrintProportionalFont = "ＭＳ Ｐゴシック"; // horse names

inline constexpr Rgb kPrintBlack{0, 0, 0};
inline constexpr Rgb kPrintWhite{255, 255, 255};
inline constexpr Rgb kPrintGrey{0xC0, 0xC0, 0xC0};

struct PageFont
{
    std::string Name{kPrintFont}; // UTF-8
    int Size = 10;                // points
    bool Bold = false;
    bool Underline = false;
    Rgb Colour = kPrintBlack;

    friend bool operator==(const PageFont&, const PageFont&) = default;
};

enum class PageItemKind { Text, Line, Rect };

// One drawing operation with the state it is drawn in.
//   Text: `Text` (CP932) with its top-left corner at (X1, Y1) in `Font`;
//   Line: from (X1, Y1) to (X2, Y2) with the pen;
//   Rect: (X1, Y1)-(X2, Y2) outlined with the pen, filled with the brush unless it is clear.
// Pen widths are in tenths of a screen pixel (the renderer converts them for the device), or
// in dots of the printer when PenInDots is set (the ruled lines of the table prints).
struct PageItem
{
    PageItemKind Kind = PageItemKind::Text;
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
    std::string Text;
    PageFont Font;
    int PenWidth = 10;
    bool PenInDots = false;
    Rgb PenColour = kPrintBlack;
    bool BrushClear = false;
    Rgb BrushColour = kPrintWhite;
};

struct PrintPage
{
    std::vector<PageItem> Items;
    // The page's number in its sheet when it is printed apart from it; 0: its position.
    int Number = 0;

    // The text items whose text is `utf8` (for checks and tests).
    std::vector<const PageItem*> TextsEqual(std::string_view utf8) const;
};

// A sheet: its pages, the window caption of its preview and the page selector's range.
struct PrintDocument
{
    std::string Caption; // UTF-8
    std::vector<PrintPage> Pages;
    int FirstPage = 1;
    int LastPage = 0; // the selector's maximum
    bool Landscape = false;
};

// The printable area of the PDF pages (A4 with 5 mm margins), in page units.
inline constexpr int kPdfPrintableShort = 2000;
inline constexpr int kPdfPrintableLong = 2870;

// Draws pages with a current font, pen and brush, as the preview's drawing operations do:
// every item records the state at the moment it is drawn.
class PageCanvas
{
public:
    // Begins the document: discards its pages and starts page 1.
    explicit PageCanvas(PrintDocument& document);

    // Starts a new page after the last one. Font, pen and brush are kept.
    void NewPage();

    void SetFont(int size, bool bold = false, bool underline = false);
    void SetFontName(std::string_view utf8Name) { m_font.Name = std::string(utf8Name); }
    void SetFontColour(Rgb colour) { m_font.Colour = colour; }
    void SetPen(int width)
    {
        m_penWidth = width;
        m_penInDots = false;
    }
    void SetPenDots(int dots)
    {
        m_penWidth = dots;
        m_penInDots = true;
    }
    void SetBrush(Rgb colour)
    {
        m_brushClear = false;
        m_brushColour = colour;
    }
    void SetBrushClear() { m_brushClear = true; }

    // `cp932` at (x, y); an empty text draws nothing.
    void Text(int x, int y, std::string_view cp932);
    void Line(int x1, int y1, int x2, int y2);
    void Rect(int x1, int y1, int x2, int y2);

private:
    PageItem Item(PageItemKind kind) const;

    PrintDocument& m_document;
    PageFont m_font;
    int m_penWidth = 10;
    bool m_penInDots = false;
    bool m_brushClear = false;
    Rgb m_brushColour = kPrintWhite;
};

// The document as JSON (UTF-8): caption, page range and every page (its number and items, each
// with its coordinates in page units, its text, font, pen width and brush).
std::string PrintDocumentJson(const PrintDocument& document);

} // namespace vornal
