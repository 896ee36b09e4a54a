#include "present/ViewRegistry.h"

#include <array>

#include "present/ClipboardText.h"
#include "present/DaySummaryTables.h"

namespace vornal {
namespace {

// A day table: copied under the day's title and printed.
ViewDescription DayView(std::string_view id, std::string_view caption, CellGrid (*builder)(const RaceDay&))
{
    ViewDescription view;
    view.Id = id;
    view.Caption = caption;
    view.DayBuilder = builder;
    view.Title = view.ListingTitle = ViewTitle::Day;
    view.Printed = true;
    return view;
}

// A table of the race shown: the command line titles it with the race's display name.
ViewDescription RaceView(std::string_view id, std::string_view caption, CellGrid RaceAnalysis::*grid)
{
    ViewDescription view;
    view.Id = id;
    view.Caption = caption;
    view.Scope = ViewScope::Race;
    view.RaceGrid = grid;
    view.ListingTitle = ViewTitle::RaceDisplay;
    return view;
}

ViewDescription Painted(ViewDescription view, ViewPainter painter, std::string_view cellsId,
                        PlainGrid kind = PlainGrid::Main)
{
    view.Painter = painter;
    view.CellsId = cellsId;
    view.PlainKind = kind;
    return view;
}

// A race table with sort toggles, a copy button titled `title` (in the window and on the
// command line alike) and a print.
ViewDescription SortedTable(ViewDescription view, SortTable sort, ViewTitle title)
{
    view.Sort = sort;
    view.Title = view.ListingTitle = title;
    view.Printed = true;
    return view;
}

std::vector<ViewDescription> MakeViews()
{
    std::vector<ViewDescription> views;
    ViewDescription card = Painted(RaceView("card", "出馬表", &RaceAnalysis::RaceCard), ViewPainter::RaceCard, "racecard");
    card.Sort = SortTable::RaceCard;
    views.push_back(card);
    views.push_back(Painted(RaceView("detail", "個別詳細検討用", &RaceAnalysis::DetailGrid), ViewPainter::Detail, "detail"));
    ViewDescription margin = RaceView("margin", "着差表", nullptr);
    margin.ListingTitle = ViewTitle::None;
    views.push_back(Painted(margin, ViewPainter::MarginChart, "margin"));
    views.push_back(
        SortedTable(RaceView("pastruns", "ランキング", &RaceAnalysis::PastRuns), SortTable::PastRuns, ViewTitle::RaceShort));
    views.push_back(SortedTable(Painted(RaceView("lapcard", "ﾗｯﾌﾟ出馬表", &RaceAnalysis::LapCard), ViewPainter::Plain,
                                        "lapcard", PlainGrid::LapCard),
                                SortTable::LapCard, ViewTitle::LapCard));
    views.push_back(SortedTable(Painted(RaceView("ranking", "ﾗﾝｷﾝｸﾞ表", &RaceAnalysis::Ranking), ViewPainter::Plain,
                                        "ranking", PlainGrid::Ranking),
                                SortTable::Ranking, ViewTitle::RaceDisplay));
    ViewDescription popularity = RaceView("popularity", "人気順位(秘)", &RaceAnalysis::PopularityOrder);
    popularity.DeveloperOnly = true;
    views.push_back(popularity);
    views.push_back(Painted(DayView("main", "メイン用", BuildMainTable), ViewPainter::Plain, "main", PlainGrid::Main));
    views.push_back(
        Painted(DayView("laptime", "ﾗｯﾌﾟﾀｲﾑ", BuildLapTimeTable), ViewPainter::Plain, "laptime", PlainGrid::LapTime));
    views.push_back(Painted(DayView("lapcheck", "ラップ検証表", BuildLapCheckTable), ViewPainter::Plain, "lapcheck",
                            PlainGrid::LapCheck));
    ViewDescription candidates = DayView("candidates", "買い目候補", BuildBetCandidateTable);
    candidates.DeveloperOnly = true;
    views.push_back(candidates);
    // The quinella forecast is a list of the analysis strip, not a tab; the command line
    // prints it as a table.
    ViewDescription quinella = RaceView("quinella", "馬連予想配当", nullptr);
    quinella.RaceLines = &RaceAnalysis::QuinellaList;
    quinella.Painter = ViewPainter::Lines;
    quinella.ListingTitle = ViewTitle::None;
    quinella.Tab = false;
    views.push_back(quinella);
    return views;
}

} // namespace

std::span<const ViewDescription> Views()
{
    static const std::vector<ViewDescription> views = MakeViews();
    return views;
}

const ViewDescription* FindView(std::string_view idOrCaption)
{
    for (const ViewDescription& view : Views()) {
        if (view.Id == idOrCaption || view.Caption == idOrCaption) {
            return &view;
        }
    }
    return nullptr;
}

const ViewDescription* FindCellsView(std::string_view cellsId)
{
    for (const ViewDescription& view : Views()) {
        if (!view.CellsId.empty() && view.CellsId == cellsId) {
            return &view;
        }
    }
    return nullptr;
}

CellGrid ViewGrid(const ViewDescription& view, const RaceDay& day, const RaceAnalysis* analysis)
{
    if (view.DayBuilder != nullptr) {
        return view.DayBuilder(day);
    }
    if (view.RaceGrid != nullptr && analysis != nullptr) {
        return analysis->*view.RaceGrid;
    }
    return {};
}

std::string ViewTitleText(ViewTitle kind, const RaceDay& day, int slot)
{
    switch (kind) {
    case ViewTitle::None:
        return {};
    case ViewTitle::Day:
        return DayTitle(day);
    case ViewTitle::RaceShort:
        return RaceTitle(day, slot, CourseForm::Short);
    case ViewTitle::RaceDisplay:
        return RaceTitle(day, slot, CourseForm::Display);
    case ViewTitle::LapCard:
        return LapCardTitle(day, slot);
    }
    return {};
}

} // namespace vornal
