#pragma once

#include <vector>

#include "present/DisplayList.h"
#include "raceday/RaceDay.h"

// The picture of the predicted finish ("着差表描画"): a table of the runners with their
// identity, BShare, PredictedMargin and PredictedWinPayout, and beside it a strip of turf on
// which each runner's horse figure stands behind the goal line at PredictedMargin x 300
// picture units (0.1 s of margin is 30 units). The picture is made whole each time.
namespace vornal {

// The figure of a coat colour code: 1 for codes 1 and 8, 2 for 2, 3, 6, 9 and 10, 3 for 4 and
// 5, 4 for 7 and 11, 5 for any other code.
int CoatGroup(int coatCode);

// Where one runner's figure stands: the tip of its nose, in the scaled picture.
struct MarginFigure
{
    int Slot = 0;
    int Group = 1;
    double X = 0;
    double Y = 0;
};

struct MarginChart
{
    double Width = 0; // of the scaled picture
    double Height = 0;
    double Scale = 1;
    double GoalX = 0;                  // the red goal line
    double OneSecondX = 0;             // the yellow 1.0 s line
    std::vector<MarginFigure> Figures; // in slot order
    DisplayList Picture;
};

// The horse figure of coat group `group` (1..5) with its nose at (x, y), `scale` times its
// natural size (about 56 x 26 units), facing the goal on its left.
DisplayList HorseFigure(int group, double x, double y, double scale);

// The chart of race slot `race`, scaled to fit `width` x `height` (its proportions kept; a
// size of 0 gives the natural size). An empty race gives the white picture with the heading.
MarginChart DrawMarginChart(const RaceDay& day, int race, double width = 0, double height = 0);

} // namespace vornal
