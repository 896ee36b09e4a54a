#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "present/DisplayList.h"
#include "raceday/RaceDay.h"

// The painted cells of the race card ("出馬表") and of the detail grid ("個別詳細検討用"):
// every runner row is a small printed card of several lines per cell, drawn from the RaceDay
// at every paint, so an odds import or fresh results show at the next repaint. The grids'
// own cell texts are only sort keys; the runner of a row is the one whose horse number is
// the row's column-1 text, so a sorted row keeps its drawing.
namespace vornal {

struct CellRect
{
    double X = 0;
    double Y = 0;
    double Width = 0;
    double Height = 0;
};

inline constexpr int kCardHeaderHeight = 17;
inline constexpr int kRaceCardRowHeight = 112;
inline constexpr int kDetailRowHeight = 100;
// Columns 13 and 14 of the race card are hidden sort keys (WinRank, BRank).
inline constexpr std::array<int, 15> kRaceCardColumnWidths{20,  20,  180, 55,  80,  105, 125, 70,
                                                           110, 110, 110, 110, 110, 0,   0};
inline constexpr std::array<int, 9> kDetailColumnWidths{20, 20, 140, 100, 160, 160, 160, 160, 160};
// Every fixed-pitch line of the cards advances 6 pixels a byte.
inline constexpr int kCardPitch = 6;

// Frame colours: 1 white, 2 grey, 3 red, 4 blue, 5 yellow, 6 green, 7 orange, 8 magenta; a
// number outside 1..8 gives white. The ink is black on frames 1 and 5 (and outside 1..8),
// white on the others.
Colour FrameColour(int frame);
Colour FrameInk(int frame);
// 1st 255,185,255; 2nd 202,255,228; 3rd 255,255,168; any other position (0 included) white.
Colour FinishColour(int position);

// The drawing of race-card cell (`column`, `row`) of race slot `race` inside `rect`, for the
// row whose column-1 text is `horseNoText`; `developerView` adds the three rotation lines of
// column 4. Nothing (the grid shows its own text) for the header row, for a horse number that
// is not a runner of the race, and for the hidden columns.
std::optional<DisplayList> DrawRaceCardCell(const RaceDay& day, int race, int column, int row,
                                            std::string_view horseNoText, const CellRect& rect, bool developerView);

// The same for the detail grid.
std::optional<DisplayList> DrawDetailCell(const RaceDay& day, int race, int column, int row,
                                          std::string_view horseNoText, const CellRect& rect);

} // namespace vornal
