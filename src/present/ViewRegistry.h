#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "present/CellGrid.h"
#include "present/GridSort.h"
#include "present/PlainGridColours.h"
#include "present/RaceAnalysisView.h"
#include "raceday/RaceDay.h"

// The views of the main window's tab strip, one description each. The window builds its tabs
// from them and the command line its table, cell and print names; a view's caption is
// spelled here and nowhere else.
namespace vornal {

enum class ViewScope {
    Day,  // built from the day loaded
    Race, // built from the analysis of the race shown
};

// How the window draws the view's cells.
enum class ViewPainter {
    Text,        // the grid's text as it is
    RaceCard,    // the race card's painted cells
    Detail,      // the detail grid's painted cells
    Plain,       // filled with the colours of its PlainGrid rule
    MarginChart, // no grid: the margin chart of the race shown
    Lines,       // no grid: a list of lines
};

// The title line above a copied grid.
enum class ViewTitle {
    None,        // the view does not copy
    Day,         // DayTitle
    RaceShort,   // RaceTitle with the short course name
    RaceDisplay, // RaceTitle with the display course name
    LapCard,     // LapCardTitle
};

struct ViewDescription
{
    std::string_view Id;      // the command line's name
    std::string_view Caption; // the tab's caption, UTF-8
    ViewScope Scope = ViewScope::Day;
    // The grid: built from the day for a day view, taken from the race's analysis for a
    // race view; neither for the margin chart and the list views.
    CellGrid (*DayBuilder)(const RaceDay&) = nullptr;
    CellGrid RaceAnalysis::*RaceGrid = nullptr;
    std::vector<std::string> RaceAnalysis::*RaceLines = nullptr;
    std::optional<SortTable> Sort;
    ViewPainter Painter = ViewPainter::Text;
    PlainGrid PlainKind = PlainGrid::Main; // read for ViewPainter::Plain only
    std::string_view CellsId;              // the `--cells` name of a painted view; empty otherwise
    ViewTitle Title = ViewTitle::None;     // the window's copy title
    ViewTitle ListingTitle = ViewTitle::None; // the title the command line's --clipboard prints
    bool Printed = false;                  // has a table print ("印刷")
    bool Tab = true;                       // a tab of the main window
    bool DeveloperOnly = false;            // shown only in the developer view
};

// Every view, in the order of the main window's tabs (the views that are no tab last).
std::span<const ViewDescription> Views();

// The view of a command-line name or a caption; nothing for another text.
const ViewDescription* FindView(std::string_view idOrCaption);

// The painted view of a `--cells` name; nothing for another text.
const ViewDescription* FindCellsView(std::string_view cellsId);

// The grid of a view with one (a day view from `day`, a race view from `analysis`).
CellGrid ViewGrid(const ViewDescription& view, const RaceDay& day, const RaceAnalysis* analysis);

// The title of `kind` for the race in `slot` of `day` (the day's title for ViewTitle::Day);
// empty for ViewTitle::None.
std::string ViewTitleText(ViewTitle kind, const RaceDay& day, int slot);

} // namespace vornal
