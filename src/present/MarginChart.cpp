#include "present/MarginChart.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "present/CardCells.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal {
namespace {

constexpr double kHeadingHeight = 22;
constexpr double kRowHeight = 28;
constexpr double kUnitsPerSecond = 300;
constexpr double kGoalInset = 40;  // from the strip's left edge to the goal line
constexpr double kFigureRoom = 70; // behind the last guide line
constexpr std::array<double, 6> kColumnWidths{22, 24, 120, 56, 48, 60};
constexpr std::array<std::string_view, 6> kHeadings{"枠", "馬", "馬名", "実態確率", "着差", "単勝予配"};

constexpr Colour kTable{250, 250, 238};
constexpr Colour kTurfLight{118, 184, 92};
constexpr Colour kTurfDark{96, 164, 76};
constexpr Colour kRail{178, 236, 160};
constexpr Colour kGuide{214, 244, 204};
constexpr Colour kGoal{255, 0, 0};
constexpr Colour kOneSecond{255, 255, 0};

// The result colours of the name cell: 1st light pink, 2nd light green, 3rd light yellow.
Colour NameBackground(int finish)
{
    return finish >= 1 && finish <= 3 ? FinishColour(finish) : kTable;
}

struct FigureColours
{
    Colour Body;
    Colour Mane;
    Colour Legs;
};

FigureColours ColoursOf(int group)
{
    switch (group) {
    case 1: // chestnut: red-brown, flaxen mane
        return {{196, 98, 40}, {236, 190, 120}, {196, 98, 40}};
    case 2: // bay: brown, black points
        return {{140, 80, 40}, {20, 20, 20}, {20, 20, 20}};
    case 3: // dark bay and brown: near black
        return {{66, 42, 28}, {10, 10, 10}, {40, 26, 16}};
    case 4: // grey and white
        return {{196, 196, 196}, {250, 250, 250}, {140, 140, 140}};
    default: // unknown coat: pale with grey points
        return {{250, 246, 232}, {170, 170, 170}, {170, 170, 170}};
    }
}

struct Pen
{
    DisplayList& List;
    double Scale;

    void Fill(double x, double y, double w, double h, Colour c)
    {
        List.Fill(x * Scale, y * Scale, w * Scale, h * Scale, c);
    }
    void Line(double x1, double y1, double x2, double y2, Colour c, double width = 1)
    {
        List.Line(x1 * Scale, y1 * Scale, x2 * Scale, y2 * Scale, c, width * Scale);
    }
    void Text(double x, double y, std::string text, double points, bool bold = false, Colour ink = colours::kBlack,
              FontFace face = FontFace::Gothic)
    {
        List.Text(TextRun{x * Scale, y * Scale, std::move(text), face, points * Scale, bold, ink, 0});
    }
    void Box(double x, double y, double w, double h)
    {
        Line(x, y, x + w, y, colours::kBlack);
        Line(x, y + h, x + w, y + h, colours::kBlack);
        Line(x, y, x, y + h, colours::kBlack);
        Line(x + w, y, x + w, y + h, colours::kBlack);
    }
};

std::string SexMark(std::string_view code)
{
    return code == "1" ? Sjis("牡") : code == "2" ? Sjis("牝") : code == "3" ? Sjis("ｾﾝ") : std::string(2, ' ');
}

std::string IdentityLine(const RaceSlot& race, const Runner& runner)
{
    const long long year = LeadingNumber(FieldView(race.SlotKey.View(), 1, 4));
    const long long born = LeadingNumber(FieldView(runner.RunnerHorseId.View(), 1, 4));
    std::string line = SexMark(runner.SexCode.View()) + fmt::sprintf("%d", year - born);
    const std::string_view weight = runner.CarriedWeight.View();
    if (!IsBlank(weight)) {
        std::string w(weight);
        w.resize(3, ' ');
        line += " " + w.substr(0, 2) + "." + w.substr(2, 1) + "kg";
    }
    return line;
}

} // namespace

int CoatGroup(int coatCode)
{
    switch (coatCode) {
    case 1:
    case 8:
        return 1;
    case 2:
    case 3:
    case 6:
    case 9:
    case 10:
        return 2;
    case 4:
    case 5:
        return 3;
    case 7:
    case 11:
        return 4;
    default:
        return 5;
    }
}

DisplayList HorseFigure(int group, double x, double y, double scale)
{
    const FigureColours c = ColoursOf(group);
    DisplayList list;
    auto polygon = [&](std::initializer_list<Point> points, Colour fill) {
        PolygonItem item{{}, fill};
        for (const Point& p : points) {
            item.Points.push_back({x + p.X * scale, y + p.Y * scale});
        }
        list.Items.emplace_back(std::move(item));
    };
    auto rect = [&](double dx, double dy, double w, double h, Colour fill) {
        list.Fill(x + dx * scale, y + dy * scale, w * scale, h * scale, fill);
    };
    // Tail, legs, body, neck, head, mane: the far side first.
    polygon({{45, -3}, {55, 1}, {53, 9}, {46, 4}}, c.Mane);
    for (const double dx : {17.0, 23.0, 38.0, 44.0}) {
        rect(dx, 5, 3, 9, c.Legs);
    }
    list.Items.emplace_back(EllipseItem{x + 14 * scale, y - 5 * scale, 34 * scale, 13 * scale, c.Body});
    polygon({{8, -8}, {14, -11}, {24, -3}, {17, 3}}, c.Body);
    polygon({{0, -5}, {4, -10}, {12, -12}, {13, -6}, {3, -1}}, c.Body);
    polygon({{11, -12}, {16, -13}, {24, -5}, {20, -3}}, c.Mane);
    return list;
}

MarginChart DrawMarginChart(const RaceDay& day, int race, double width, double height)
{
    MarginChart chart;
    const RaceSlot* slot = race >= 0 && race < kRaceSlots ? &day.Races[race] : nullptr;
    const int runners = slot ? std::clamp(slot->RunnerCount, 0, kRunnerSlots) : 0;
    double widest = 0;
    for (int h = 0; h < runners; ++h) {
        if (std::isfinite(slot->Runners[h].PredictedMargin)) {
            widest = std::max(widest, slot->Runners[h].PredictedMargin);
        }
    }
    // At least 1.2 s of track, more for a field that spreads further, never beyond 4 s.
    const double seconds = std::min(4.0, std::max(1.2, std::ceil((widest + 1e-9) / 0.2) * 0.2));
    double tableWidth = 0;
    for (const double w : kColumnWidths) {
        tableWidth += w;
    }
    const double goal = tableWidth + kGoalInset;
    const double naturalWidth = goal + seconds * kUnitsPerSecond + kFigureRoom;
    const double naturalHeight = kHeadingHeight + kRowHeight * std::max(runners, 1) + 2;
    double scale = 1;
    if (width > 0 && height > 0) {
        scale = std::min(width / naturalWidth, height / naturalHeight);
    }
    chart.Scale = scale;
    chart.Width = naturalWidth * scale;
    chart.Height = naturalHeight * scale;
    chart.GoalX = goal * scale;
    chart.OneSecondX = (goal + kUnitsPerSecond) * scale;

    Pen pen{chart.Picture, scale};
    pen.Fill(0, 0, naturalWidth, naturalHeight, colours::kWhite);
    const double bottom = kHeadingHeight + kRowHeight * runners;

    // The heading row.
    double x = 0;
    pen.Fill(0, 0, tableWidth, kHeadingHeight, colours::kHeaderGrey);
    for (std::size_t c = 0; c < kColumnWidths.size(); ++c) {
        pen.Box(x, 0, kColumnWidths[c], kHeadingHeight);
        pen.Text(x + 3, 5, Sjis(kHeadings[c]), 9, true);
        x += kColumnWidths[c];
    }
    pen.Text(goal - 14, 5, "GOAL", 9, true, kGoal);
    pen.Text(goal + kUnitsPerSecond - 14, 5, Sjis("1.0秒"), 9, true);

    // The track: one turf band per runner with its rail, the guide lines, the goal and 1.0 s.
    const double stripLeft = tableWidth;
    const double stripWidth = naturalWidth - tableWidth;
    for (int h = 0; h < runners; ++h) {
        const double top = kHeadingHeight + kRowHeight * h;
        pen.Fill(stripLeft, top, stripWidth, kRowHeight, h % 2 == 0 ? kTurfLight : kTurfDark);
        pen.Line(stripLeft, top + kRowHeight - 1, naturalWidth, top + kRowHeight - 1, kRail, 2);
    }
    const int guides = static_cast<int>(std::lround(seconds / 0.2));
    for (int g = 1; g <= guides; ++g) {
        const double gx = goal + g * 0.2 * kUnitsPerSecond;
        pen.Line(gx, kHeadingHeight, gx, bottom, kGuide);
    }
    pen.Line(goal, kHeadingHeight, goal, bottom, kGoal, 2);
    pen.Line(goal + kUnitsPerSecond, kHeadingHeight, goal + kUnitsPerSecond, bottom, kOneSecond, 2);

    // The table rows and the figures, in slot order.
    for (int h = 0; h < runners; ++h) {
        const Runner& runner = slot->Runners[h];
        const double top = kHeadingHeight + kRowHeight * h;
        const int frame = static_cast<int>(LeadingNumber(runner.FrameNo.View()));
        x = 0;
        pen.Fill(x, top, kColumnWidths[0], kRowHeight, FrameColour(frame));
        pen.Text(x + 7, top + 8, fmt::sprintf("%1d", frame), 10, true, FrameInk(frame));
        x += kColumnWidths[0];
        pen.Fill(x, top, kColumnWidths[1], kRowHeight, kTable);
        pen.Text(x + 3, top + 8, fmt::sprintf("%2d", LeadingNumber(runner.HorseNo.View())), 10, true);
        x += kColumnWidths[1];
        pen.Fill(x, top, kColumnWidths[2], kRowHeight, NameBackground(runner.FinishPos));
        pen.Text(x + 3, top + 2, runner.HorseName.Str(), 9, false, colours::kBlack, FontFace::PGothic);
        pen.Text(x + 3, top + 15, IdentityLine(*slot, runner), 8);
        x += kColumnWidths[2];
        const std::string figures[] = {fmt::sprintf("%6.2f", runner.BShare),
                                       fmt::sprintf("%6.2f", runner.PredictedMargin),
                                       fmt::sprintf("%7.0f", runner.PredictedWinPayout)};
        for (int c = 3; c < 6; ++c) {
            pen.Fill(x, top, kColumnWidths[c], kRowHeight, kTable);
            pen.Text(x + 3, top + 8, figures[c - 3], 9);
            x += kColumnWidths[c];
        }
        x = 0;
        for (const double w : kColumnWidths) {
            pen.Box(x, top, w, kRowHeight);
            x += w;
        }
        const double margin = std::isfinite(runner.PredictedMargin) ? runner.PredictedMargin : 0.0;
        MarginFigure figure{h, CoatGroup(runner.CoatColourCode), (goal + margin * kUnitsPerSecond) * scale,
                            (top + 13) * scale};
        DisplayList horse = HorseFigure(figure.Group, figure.X, figure.Y, scale);
        for (DisplayItem& item : horse.Items) {
            chart.Picture.Items.push_back(std::move(item));
        }
        chart.Figures.push_back(figure);
    }
    return chart;
}

} // namespace vornal
