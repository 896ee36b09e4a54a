#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// A picture as plain data: the painted race-card cells and the margin chart are made of these
// items, and the painter of the window (or of a test, or of the command line's JSON) draws
// them in order. Coordinates are pixels of the grid or picture that made the list, y downward;
// a text's position is the top-left corner of its first character.
namespace vornal {

struct Colour
{
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

namespace colours {
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kBlue{0, 0, 255};
inline constexpr Colour kHeaderGrey{192, 192, 192};
// The light background of the information cells (the tooltip colour of the desktop the grids
// were first drawn on).
inline constexpr Colour kInfo{255, 255, 225};
} // namespace colours

// The two faces of the screens: the fixed-pitch grid face and its proportional sibling.
enum class FontFace {
    Gothic,  // "ＭＳ ゴシック"
    PGothic, // "ＭＳ Ｐゴシック"
};

// The face name as the screens spell it (UTF-8).
const char* FontFaceName(FontFace face);

// A line of text. With Pitch above 0 every byte of the CP932 text advances Pitch pixels (a
// full-width character two pitches), so label columns line up whatever the face's widths.
struct TextRun
{
    double X = 0;
    double Y = 0;
    std::string Text; // CP932
    FontFace Face = FontFace::Gothic;
    double Points = 8;
    bool Bold = false;
    Colour Ink = colours::kBlack;
    int Pitch = 0;
    friend bool operator==(const TextRun&, const TextRun&) = default;
};

struct FilledRect
{
    double X = 0;
    double Y = 0;
    double Width = 0;
    double Height = 0;
    Colour Fill = colours::kWhite;
    friend bool operator==(const FilledRect&, const FilledRect&) = default;
};

struct LineItem
{
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;
    Colour Ink = colours::kBlack;
    double Width = 1;
    friend bool operator==(const LineItem&, const LineItem&) = default;
};

struct Point
{
    double X = 0;
    double Y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A filled closed outline (the horse figures of the margin chart).
struct PolygonItem
{
    std::vector<Point> Points;
    Colour Fill = colours::kBlack;
    friend bool operator==(const PolygonItem&, const PolygonItem&) = default;
};

// A filled ellipse inside the rectangle.
struct EllipseItem
{
    double X = 0;
    double Y = 0;
    double Width = 0;
    double Height = 0;
    Colour Fill = colours::kBlack;
    friend bool operator==(const EllipseItem&, const EllipseItem&) = default;
};

using DisplayItem = std::variant<FilledRect, LineItem, TextRun, PolygonItem, EllipseItem>;

struct DisplayList
{
    std::vector<DisplayItem> Items; // in paint order

    void Fill(double x, double y, double width, double height, Colour fill)
    {
        Items.emplace_back(FilledRect{x, y, width, height, fill});
    }
    void Line(double x1, double y1, double x2, double y2, Colour ink, double width = 1)
    {
        Items.emplace_back(LineItem{x1, y1, x2, y2, ink, width});
    }
    void Text(TextRun run) { Items.emplace_back(std::move(run)); }

    // The text runs alone, in paint order (what the tests read most).
    std::vector<TextRun> Texts() const;

    friend bool operator==(const DisplayList&, const DisplayList&) = default;
};

// The height in pixels of one line of text at `points` on the screens (96 dots per inch,
// rounded down): 8 point lines are 10 pixels apart, 10 point lines 13. The painter sets its
// faces to this pixel size, so a line never runs into the next.
int TextHeight(double points);

} // namespace vornal
