#include "present/PlainGridColours.h"

#include "present/CardCells.h"
#include "text/Fields.h"

namespace vornal {
namespace {

constexpr Colour kLilac{232, 208, 255};
constexpr Colour kRose{255, 128, 128};
constexpr Colour kSky{166, 202, 240};
constexpr Colour kCream{255, 255, 128};

// The number of a cell text; 0 for a text that is not a number.
int CellNumber(const std::string& text)
{
    const std::optional<int> number = ParseInt(Trim(text));
    return number.value_or(0);
}

struct Band
{
    int First;
    int Last;
    Colour Fill;
};

Colour Banded(int column, std::initializer_list<Band> bands)
{
    for (const Band& band : bands) {
        if (column >= band.First && column <= band.Last) {
            return band.Fill;
        }
    }
    return colours::kInfo;
}

} // namespace

Colour PlainGridColour(PlainGrid grid, const CellGrid& cells, int row, int column)
{
    if (row < cells.HeaderRows()) {
        return colours::kHeaderGrey;
    }
    switch (grid) {
    case PlainGrid::LapCard:
    case PlainGrid::Ranking: {
        const int finishColumn = grid == PlainGrid::LapCard ? 20 : 35;
        if (column == 0) {
            return FrameColour(CellNumber(cells.Cell(row, column)));
        }
        if (column == 1) {
            return colours::kInfo;
        }
        if (column == finishColumn) {
            return FinishColour(CellNumber(cells.Cell(row, column)));
        }
        return colours::kWhite;
    }
    case PlainGrid::TuningTable:
        return column == 0 ? colours::kHeaderGrey : colours::kInfo;
    case PlainGrid::LapCheck:
        return column == 0 ? colours::kHeaderGrey
                           : Banded(column, {{7, 13, kLilac}, {14, 25, kRose}, {26, 37, kSky}, {38, 49, kCream}});
    case PlainGrid::Main:
        return column == 0 ? colours::kHeaderGrey : Banded(column, {{7, 19, kRose}, {20, 32, kSky}});
    case PlainGrid::LapTime:
        return column == 0 ? colours::kHeaderGrey : Banded(column, {{7, 12, kLilac}, {13, 25, kRose}, {26, 38, kSky}});
    }
    return colours::kWhite;
}

Colour PlainGridInk(PlainGrid grid, const CellGrid& cells, int row, int column)
{
    if ((grid == PlainGrid::LapCard || grid == PlainGrid::Ranking) && column == 0 && row >= cells.HeaderRows()) {
        const int frame = CellNumber(cells.Cell(row, column));
        return frame >= 1 && frame <= 8 ? FrameInk(frame) : colours::kBlack;
    }
    return colours::kBlack;
}

int PlainGridTextTop(PlainGrid grid)
{
    return grid == PlainGrid::LapCheck || grid == PlainGrid::Main || grid == PlainGrid::LapTime ? 1 : 2;
}

} // namespace vornal
