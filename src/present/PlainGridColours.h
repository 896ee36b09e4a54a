#pragma once

#include "present/CellGrid.h"
#include "present/DisplayList.h"

// The colours of the plainer grids: each cell is filled with the colour of its grid's rule
// and shows its own text centred, a little below the cell's top.
namespace vornal {

enum class PlainGrid {
    LapCard,     // "ﾗｯﾌﾟ出馬表"
    Ranking,     // "ﾗﾝｷﾝｸﾞ表"
    TuningTable, // "基準ﾗｯﾌﾟﾃﾞｰﾀ表", "単勝配当用", "馬連配当用", "単勝人気統計", "配当別実現確率"
    LapCheck,    // "ラップ検証表"
    Main,        // "メイン用"
    LapTime,     // "ﾗｯﾌﾟﾀｲﾑ"
};

// The fill of cell (`row`, `column`) of `cells` shown as `grid`. The header rows are grey.
// In the lap card and the ranking table column 0 takes the frame colour of its number and
// the "着順" column (20 and 35) the finishing colour of its number (white for any text but
// 1, 2 or 3); column 1 is the information colour.
Colour PlainGridColour(PlainGrid grid, const CellGrid& cells, int row, int column);

// The ink of the cell's text: black, except on the dark frame colours of column 0 of the lap
// card and the ranking table, which take white as the race card's frame cells do.
Colour PlainGridInk(PlainGrid grid, const CellGrid& cells, int row, int column);

// Pixels from the cell's top to its text: 1 for the three verification tables, 2 otherwise.
int PlainGridTextTop(PlainGrid grid);

} // namespace vornal
