#include "cli/CellCommands.h"

#include <array>
#include <filesystem>
#include <span>

#include "betting/BetMethod.h"
#include "cli/DayLoad.h"
#include "present/CardCells.h"
#include "present/DisplayListJson.h"
#include "present/GridSort.h"
#include "present/MarginChart.h"
#include "present/PlainGridColours.h"
#include "present/RaceAnalysisView.h"
#include "present/ViewRegistry.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal::cli {
namespace {

// The `--cells` names of the painted views of one scope, "a|b|c".
std::string CellKinds(ViewScope scope)
{
    std::string kinds;
    for (const ViewDescription& view : Views()) {
        if (!view.CellsId.empty() && view.Scope == scope) {
            kinds += (kinds.empty() ? "" : "|") + std::string(view.CellsId);
        }
    }
    return kinds;
}

void WriteColour(JsonWriter& json, std::string_view key, Colour colour)
{
    json.Key(key);
    json.BeginArray();
    json.Number(static_cast<int>(colour.Red));
    json.Number(static_cast<int>(colour.Green));
    json.Number(static_cast<int>(colour.Blue));
    json.EndArray();
}

void WriteRect(JsonWriter& json, const CellRect& rect)
{
    json.Field("x", rect.X);
    json.Field("y", rect.Y);
    json.Field("width", rect.Width);
    json.Field("height", rect.Height);
}

template <std::size_t N>
void WriteCardCells(JsonWriter& json, const RaceDay& day, int slot, const CellGrid& grid,
                    const std::array<int, N>& widths, int rowHeight, bool detail, bool developerView)
{
    json.Key("columnWidths");
    json.BeginArray();
    for (const int width : widths) {
        json.Number(width);
    }
    json.EndArray();
    json.Field("headerHeight", kCardHeaderHeight);
    json.Field("rowHeight", rowHeight);
    json.Key("cells");
    json.BeginArray();
    for (int row = grid.HeaderRows(); row < grid.RowCount(); ++row) {
        double x = 0;
        for (int column = 0; column < static_cast<int>(N); ++column) {
            const CellRect rect{x, static_cast<double>(kCardHeaderHeight + (row - 1) * rowHeight),
                                static_cast<double>(widths[column]), static_cast<double>(rowHeight)};
            x += widths[column];
            const std::string& key = grid.Cell(row, 1);
            const std::optional<DisplayList> list =
                detail ? DrawDetailCell(day, slot, column, row, key, rect)
                       : DrawRaceCardCell(day, slot, column, row, key, rect, developerView);
            if (!list) {
                continue;
            }
            json.BeginObject();
            json.Field("row", row);
            json.Field("column", column);
            WriteRect(json, rect);
            json.Key("items");
            WriteDisplayListJson(json, *list);
            json.EndObject();
        }
    }
    json.EndArray();
}

void WritePlainCells(JsonWriter& json, const CellGrid& grid, PlainGrid kind)
{
    json.Field("textTop", PlainGridTextTop(kind));
    json.Key("cells");
    json.BeginArray();
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            json.BeginObject();
            json.Field("row", row);
            json.Field("column", column);
            json.Key("text");
            json.Cp932(grid.Cell(row, column));
            WriteColour(json, "fill", PlainGridColour(kind, grid, row, column));
            WriteColour(json, "ink", PlainGridInk(kind, grid, row, column));
            json.EndObject();
        }
    }
    json.EndArray();
}

void WriteMargin(JsonWriter& json, const MarginChart& chart)
{
    json.Field("width", chart.Width);
    json.Field("height", chart.Height);
    json.Field("scale", chart.Scale);
    json.Field("goalX", chart.GoalX);
    json.Field("oneSecondX", chart.OneSecondX);
    json.Key("figures");
    json.BeginArray();
    for (const MarginFigure& figure : chart.Figures) {
        json.BeginObject();
        json.Field("slot", figure.Slot);
        json.Field("group", figure.Group);
        json.Field("x", figure.X);
        json.Field("y", figure.Y);
        json.EndObject();
    }
    json.EndArray();
    json.Key("items");
    WriteDisplayListJson(json, chart.Picture);
}

} // namespace

int PrintCells(CliContext& context, DaySession& session, int slot, const std::string& which)
{
    const ViewDescription* kind = FindCellsView(which);
    if (kind == nullptr || kind->Scope != ViewScope::Race) {
        context.err << "vornal-cli: --cells takes " << CellKinds(ViewScope::Race) << "\n";
        return kExitUsage;
    }
    const RaceDay& day = *session.Day();
    std::string message;
    const TuningTables* tables = session.Tables(message);
    if (tables == nullptr) {
        context.err << "vornal-cli: " << ToUtf8(message) << "\n";
        return kExitFailure;
    }
    RaceAnalysis view = ShowRaceAnalysis(day, *tables, slot);
    if (view.Message) {
        context.err << "vornal-cli: " << ToUtf8(*view.Message) << "\n";
        return kExitFailure;
    }
    CellGrid grid = ViewGrid(*kind, day, &view);
    if (const std::optional<std::string> sort = context.Option("--sort")) {
        if (!kind->Sort || !PressToggle(grid, *kind->Sort, *sort)) {
            context.err << "vornal-cli: the grid has no toggle \"" << *sort << "\"\n";
            return kExitUsage;
        }
    }
    const bool developerView = IsDeveloperView(context.appDir);
    std::string out;
    JsonWriter json(out);
    json.BeginObject();
    json.Key("grid");
    json.Utf8(which);
    json.Field("slot", slot);
    switch (kind->Painter) {
    case ViewPainter::RaceCard:
        json.Field("developerView", developerView);
        WriteCardCells(json, day, slot, grid, kRaceCardColumnWidths, kRaceCardRowHeight, false, developerView);
        break;
    case ViewPainter::Detail:
        WriteCardCells(json, day, slot, grid, kDetailColumnWidths, kDetailRowHeight, true, false);
        break;
    case ViewPainter::MarginChart: {
        const double width = ParseDouble(context.Option("--width").value_or("")).value_or(0);
        const double height = ParseDouble(context.Option("--height").value_or("")).value_or(0);
        WriteMargin(json, DrawMarginChart(day, slot, width, height));
        break;
    }
    default:
        WritePlainCells(json, grid, kind->PlainKind);
        break;
    }
    json.EndObject();
    return PrintDayJson(context, out, json);
}

int PrintDayCells(CliContext& context, DaySession& session, const std::string& which)
{
    const ViewDescription* kind = FindCellsView(which);
    if (kind == nullptr || kind->Scope != ViewScope::Day) {
        context.err << "vornal-cli: --cells takes " << CellKinds(ViewScope::Day) << "\n";
        return kExitUsage;
    }
    std::string out;
    JsonWriter json(out);
    json.BeginObject();
    json.Key("grid");
    json.Utf8(which);
    WritePlainCells(json, ViewGrid(*kind, *session.Day(), nullptr), kind->PlainKind);
    json.EndObject();
    return PrintDayJson(context, out, json);
}

} // namespace vornal::cli
