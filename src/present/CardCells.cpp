#include "present/CardCells.h"

#include <string>

#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/RacingTerms.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

// Writes the lines of one cell: each line starts one text height below the last, 1 pixel
// inside the cell's top-left corner.
class CellPen
{
public:
    CellPen(DisplayList& list, const CellRect& rect) : m_list(list), m_left(rect.X + 1), m_y(rect.Y + 1) {}

    void Font(double points, bool bold = false)
    {
        m_points = points;
        m_bold = bold;
    }
    void Ink(Colour ink) { m_ink = ink; }
    void Pitch(int pitch) { m_pitch = pitch; }

    // Draws `text` at `offset` pixels from the left on the current line, without moving on.
    void At(double offset, std::string text)
    {
        m_list.Text(TextRun{m_left + offset, m_y, std::move(text), FontFace::Gothic, m_points, m_bold, m_ink, m_pitch});
    }
    // Draws a line of text at `offset` and moves to the next line.
    void Line(std::string text, double offset = 0)
    {
        At(offset, std::move(text));
        NextLine();
    }
    void NextLine() { m_y += TextHeight(m_points); }
    void Gap(double pixels) { m_y += pixels; }

private:
    DisplayList& m_list;
    double m_left;
    double m_y;
    double m_points = 8;
    bool m_bold = false;
    Colour m_ink = colours::kBlack;
    int m_pitch = 0;
};

const std::string& S(std::string_view utf8)
{
    return Sjis(utf8);
}

// A labelled value shown only when `shown`: the label alone otherwise.
template <typename T> std::string LabelIf(bool shown, std::string_view labelUtf8, const char* format, T value)
{
    return shown ? S(labelUtf8) + fmt::sprintf(format, value) : S(labelUtf8);
}

template <typename T> std::string Labelled(std::string_view labelUtf8, const char* format, T value)
{
    return S(labelUtf8) + fmt::sprintf(format, value);
}

// `text` cut or padded with blanks to `width` bytes, so a short field reads as blanks.
std::string Sized(std::string_view text, std::size_t width)
{
    std::string out(text.substr(0, std::min(width, text.size())));
    out.resize(width, ' ');
    return out;
}

// The runner of the row, or nothing when the horse number is not one of the race.
const Runner* RowRunner(const RaceDay& day, int race, int row, std::string_view horseNoText)
{
    if (row < 1 || race < 0 || race >= kRaceSlots) {
        return nullptr;
    }
    const RaceSlot& slot = day.Races[race];
    const std::optional<int> number = ParseInt(Trim(horseNoText));
    if (!number || *number < 1 || *number > kRunnerSlots || *number > slot.RunnerCount) {
        return nullptr;
    }
    return &slot.Runners[*number - 1];
}

int FrameNumber(const Runner& runner)
{
    return static_cast<int>(LeadingNumber(runner.FrameNo.View()));
}

std::string SexMark(const Runner& runner)
{
    const std::string_view code = runner.SexCode.View();
    return code == "1" ? S("牡") : code == "2" ? S("牝") : code == "3" ? S("ｾﾝ") : std::string(2, ' ');
}

std::string Age(const RaceSlot& race, const Runner& runner)
{
    const long long year = LeadingNumber(FieldView(race.SlotKey.View(), 1, 4));
    const long long born = LeadingNumber(FieldView(runner.RunnerHorseId.View(), 1, 4));
    return fmt::sprintf("%d", year - born);
}

std::string CoatName(int code)
{
    static constexpr std::string_view kNames[] = {"栗毛  ", "栃栗毛", "鹿毛  ", "黒鹿毛", "青鹿毛", "青毛  ",
                                                  "芦毛  ", "栗粕毛", "鹿粕毛", "青粕毛", "白毛  "};
    return code >= 1 && code <= 11 ? S(kNames[code - 1]) : std::string(6, ' ');
}

std::string Weight(const Runner& runner)
{
    const std::string_view weight = runner.CarriedWeight.View();
    if (IsBlank(weight)) {
        return {};
    }
    const std::string w = Sized(weight, 3);
    return w.substr(0, 2) + "." + w.substr(2, 1) + "kg";
}

std::string RankText(std::string_view labelUtf8, int rank)
{
    static constexpr std::string_view kMarks[] = {"◎", "○", "▲", "△"};
    if (rank >= 1 && rank <= 4) {
        return S(labelUtf8) + S(kMarks[rank - 1]);
    }
    return rank >= 5 ? S(labelUtf8) + fmt::sprintf("%2d", rank) : S(labelUtf8);
}

std::string Surface(const PastRun& run)
{
    const std::string_view track = run.PastTrack.View();
    if (IsBlank(track)) {
        return std::string(2, ' ');
    }
    return PastRunSurfaceMark(track);
}

std::string Going(const PastRun& run)
{
    const std::string_view going = run.PastGoing.View();
    return going == "1"   ? S("良")
           : going == "2" ? S("稍重")
           : going == "3" ? S("重")
           : going == "4" ? S("不良")
                          : std::string(2, ' ');
}

std::string Corners(const PastRun& run)
{
    std::string text = S("展開:");
    for (int i = 0; i < 3; ++i) {
        text += run.PastCorner[i] >= 1 ? fmt::sprintf("%2d-", run.PastCorner[i]) : std::string("  -");
    }
    text += run.PastCorner[3] >= 1 ? fmt::sprintf("%2d", run.PastCorner[3]) : std::string(2, ' ');
    return text;
}

void FillCell(DisplayList& list, const CellRect& rect, Colour colour)
{
    list.Fill(rect.X, rect.Y, rect.Width, rect.Height, colour);
}

// Columns 0 and 1 of both grids: the frame and the horse number, 10 point bold.
void DrawNumberCell(DisplayList& list, const Runner& runner, int column, const CellRect& rect)
{
    const int frame = FrameNumber(runner);
    FillCell(list, rect, column == 0 ? FrameColour(frame) : colours::kInfo);
    CellPen pen(list, rect);
    pen.Font(10, true);
    if (column == 0) {
        pen.Ink(FrameInk(frame));
        pen.Line(fmt::sprintf("%2d", frame));
    } else {
        pen.Line(fmt::sprintf("%2d", LeadingNumber(runner.HorseNo.View())));
    }
}

void DrawNameCell(DisplayList& list, const RaceSlot& race, const Runner& runner, const CellRect& rect)
{
    FillCell(list, rect, colours::kWhite);
    CellPen pen(list, rect);
    pen.Font(10, true);
    pen.Line(runner.HorseName.Str());
    pen.Font(8);
    pen.At(0, SexMark(runner) + Age(race, runner) + " " + CoatName(runner.CoatColourCode));
    pen.At(60, fmt::sprintf("%6d", runner.TotalPrize) + S("万円"));
    pen.At(135, Weight(runner));
    pen.NextLine();
    pen.Pitch(kCardPitch);
    pen.Line(Labelled("出走総ﾚｰｽ数　:", "%7d", runner.TotalStarts), 40);
    pen.Line(Labelled("格　　　　 　:", "%7.0f", runner.ClassValue), 40);
    pen.Line(Labelled("格基準着差　 :", "%7.3f", runner.ClassMargin), 40);
    pen.Line(LabelIf(runner.PredictedWinPayout > 0, "単勝予想配当 :", "%7.0f", runner.PredictedWinPayout), 40);
    pen.Line(LabelIf(runner.WinOdds > 0, "単勝当日ｵｯｽﾞ :", "%7.1f", runner.WinOdds), 40);
    pen.Line(LabelIf(runner.WinShare > 0, "単勝期待確率 :", "%7.3f", runner.WinShare), 40);
    pen.Line(LabelIf(runner.BShare > 0, "B単勝期待確率:", "%7.3f", runner.BShare), 40);
    pen.Pitch(0);
    pen.Ink(colours::kBlue);
    pen.At(0, RankText("単勝ﾗﾝｷﾝｸﾞ=", runner.WinRank));
    pen.At(90, RankText("B確率ﾗﾝｷﾝｸﾞ=", runner.BRank));
}

void DrawPeopleCell(DisplayList& list, const Runner& runner, const CellRect& rect)
{
    FillCell(list, rect, colours::kWhite);
    CellPen pen(list, rect);
    pen.Line(runner.JockeyName.Str());
    pen.Line(fmt::sprintf("%5.1f%%", runner.JockeyRate * 100.0));
    pen.Gap(5);
    pen.Line(runner.TrainerName.Str());
    pen.Line(fmt::sprintf("%5.1f%%", runner.TrainerRate * 100.0));
}

void DrawFinishCell(DisplayList& list, const Runner& runner, const CellRect& rect, bool developerView)
{
    FillCell(list, rect, FinishColour(runner.FinishPos));
    CellPen pen(list, rect);
    pen.Line(runner.FinishPos >= 1 ? Labelled("着順　:", "%5d", runner.FinishPos) : S("着順:"));
    pen.Line(runner.FinalWinOdds > 0 ? Labelled("確ｵｯｽﾞ:", "%5.1f", runner.FinalWinOdds) : std::string(" "));
    if (developerView) {
        pen.Ink(colours::kBlue);
        pen.Line(Labelled("RT配当:", "%7.1f", runner.RotationPayout));
        pen.Line(Labelled("RT勝率:", "%7.1f", runner.RotationWinRate));
        pen.Line(Labelled("過剰:", "%7.1f", runner.RotationExcess));
    }
}

void DrawFiguresCell(DisplayList& list, const Runner& runner, const CellRect& rect)
{
    FillCell(list, rect, colours::kWhite);
    CellPen pen(list, rect);
    pen.Pitch(kCardPitch);
    pen.Line(runner.AchievementProb != 0 ? Labelled("実績確率　:", "%6.3f", runner.AchievementProb * 100.0)
                                         : std::string(" "));
    pen.Line(Labelled("戦歴数　　:", "%6d", runner.CareerRuns));
    pen.Line(Labelled("ｷｬﾘｱ補正　:", "%6.1f", runner.CareerAdj));
    pen.Line(Labelled("平均斤量　:", "%6.2f", runner.AvgWeight));
    pen.Line(Labelled("平均着差　:", "%6.3f", runner.AvgMargin));
    pen.Line(Labelled("ｹﾞｰﾄ補正　:", "%6.3f", runner.GateAdj));
    pen.Line(Labelled("ｺﾞｰﾙ着差　:", "%6.2f", runner.GoalMargin));
    pen.Line(Labelled("相対着差　:", "%6.3f", runner.RelMargin));
    pen.Line(Labelled("条件　　　:", "%6.3f", runner.ConditionTerm));
    pen.Line(Labelled("ﾛｰﾃｰｼｮﾝ値 :", "%6.3f", runner.RotationValue));
}

void DrawTimesCell(DisplayList& list, const Runner& runner, const CellRect& rect)
{
    FillCell(list, rect, colours::kWhite);
    CellPen pen(list, rect);
    pen.Pitch(kCardPitch);
    const double latestBase = runner.Past[0].PastBaseTime;
    pen.Line(Labelled("修正ﾛｰﾃｰｼｮﾝ値:", "%6.3f", runner.RotationShare));
    pen.Line(Labelled("最終ｺﾞｰﾙ着差 :", "%6.3f", runner.FinalGoalMargin));
    pen.Line(LabelIf(latestBase > 0, "基準ﾀｲﾑ　　　:", "%6.1f", latestBase));
    pen.Line(LabelIf(runner.BestBaseTime > 0, "最良基準ﾀｲﾑ　:", "%6.1f", runner.BestBaseTime));
    pen.Line(Labelled("脚質　　　　 :", "%6.1f", runner.RunningStyle));
    pen.Line(LabelIf(runner.OverallMin < kNoValue, "総合Min　　　:", "%6.1f", runner.OverallMin));
    pen.Ink(colours::kBlue);
    pen.Line(Labelled("実力ﾗﾝｷﾝｸﾞ　 :", "%6d", runner.RankAbility));
    pen.Line(Labelled("ｽﾀﾐﾅﾗﾝｷﾝｸﾞ　 :", "%6d", runner.RankStamina));
    pen.Line(Labelled("前半TMﾗﾝｷﾝｸﾞ :", "%6d", runner.RankFrontSpeed));
    pen.Line(Labelled("後半TMﾗﾝｷﾝｸﾞ :", "%6d", runner.RankBackSpeed));
}

void DrawRanksCell(DisplayList& list, const Runner& runner, const CellRect& rect)
{
    FillCell(list, rect, colours::kWhite);
    CellPen pen(list, rect);
    pen.Pitch(kCardPitch);
    pen.Ink(colours::kBlue);
    pen.Line(Labelled("実績確率:", "%2d", runner.RankAchievement));
    pen.Line(Labelled("格　　　:", "%2d", runner.RankClass));
    pen.Line(Labelled("平均着差:", "%2d", runner.RankAvgMargin));
    pen.Line(Labelled("修正ﾛｰﾃ :", "%2d", runner.RankRotation));
    pen.Line(Labelled("ｺﾞｰﾙ着差:", "%2d", runner.RankGoal));
    pen.Line(Labelled("最終ｺﾞｰﾙ:", "%2d", runner.RankFinalGoal));
    pen.Line(Labelled("基準TM　:", "%2d", runner.RankBaseTime));
    pen.Line(Labelled("最良基TM:", "%2d", runner.RankBestBaseTime));
    pen.Line(Labelled("脚質　　:", "%2d", runner.RunningStyleRank));
    pen.Line(Labelled("総合min :", "%2d", runner.RankOverallMin));
}

std::string RaceNameOrClass(const PastRun& run)
{
    if (!Trim(DropWideBlanks(run.PastRaceName3.View())).empty()) {
        return run.PastRaceName3.Str();
    }
    return ConditionClassName(run.PastCondition.View());
}

void DrawCardPastRun(DisplayList& list, const PastRun& run, const CellRect& rect)
{
    FillCell(list, rect, colours::kWhite);
    const std::string_view key = run.PastRunKey.View();
    if (IsBlank(key)) {
        return;
    }
    CellPen pen(list, rect);
    pen.Line(Trim(CourseName(FieldView(key, 9, 2), CourseForm::Display)) + Field(key, 5, 2) + "." + Field(key, 7, 2) +
             " " + RaceNameOrClass(run));
    pen.Line(Surface(run) + Going(run) + fmt::sprintf("%4d", run.PastDistance) + S("ｹﾞ") +
             CircledNumber(static_cast<int>(LeadingNumber(run.PastHorseNo.View()))) + S("枠") + run.PastFrameNo.Str());
    pen.Line(run.PastPlace >= 1 ? fmt::sprintf("%2d", run.PastPlace) + S("着") + S("　") +
                                      fmt::sprintf("%2d", run.PastPopularity) + S("人気")
                                : std::string(" "));
    pen.Line(Corners(run));
    const std::string time = Sized(run.PastTime.View(), 4);
    const std::string last3f = Sized(run.PastLast3F.View(), 3);
    pen.Line(S("ﾀｲﾑ:") + time.substr(0, 1) + "." + time.substr(1, 2) + "." + time.substr(3, 1) +
             " 3F:" + last3f.substr(0, 2) + "." + last3f.substr(2, 1));
    const std::string_view diff = run.PastTimeDiff.View();
    pen.Line(IsBlank(diff) ? S("着差:")
                           : S("着差:") + fmt::sprintf("%4.1f", static_cast<double>(SignedLeadingNumber(diff)) / 10.0));
    pen.Line(run.PastBaseTime > 0 && run.PastBaseTime < 999 ? Labelled("基準ﾀｲﾑ:", "%7.1f", run.PastBaseTime)
                                                            : std::string(" "));
}

void DrawDetailName(DisplayList& list, const RaceSlot& race, const Runner& runner, const CellRect& rect)
{
    FillCell(list, rect, FinishColour(runner.FinishPos));
    CellPen pen(list, rect);
    pen.Font(10, true);
    pen.Line(runner.HorseName.Str());
    pen.Font(8);
    pen.Line(SexMark(runner) + Age(race, runner));
    pen.Gap(10);
    pen.Pitch(kCardPitch);
    const double latestBase = runner.Past[0].PastBaseTime;
    pen.Line(LabelIf(latestBase > 0, "基準ﾀｲﾑ　　:", "%7.1f", latestBase));
    pen.Line(LabelIf(runner.RankBaseTime >= 1, "順位　　　 :", "%7d", runner.RankBaseTime));
    pen.Line(LabelIf(runner.BestBaseTime > 0, "最良基準ﾀｲﾑ:", "%7.1f", runner.BestBaseTime));
    pen.Line(LabelIf(runner.RankBestBaseTime >= 1, "順位　　　 :", "%7d", runner.RankBestBaseTime));
}

void DrawDetailFigures(DisplayList& list, const Runner& runner, const CellRect& rect)
{
    FillCell(list, rect, colours::kWhite);
    CellPen pen(list, rect);
    pen.Pitch(kCardPitch);
    pen.Line(Labelled("平均展開　:", "%5.2f", runner.AvgCorner4));
    pen.Line(Labelled("展開偏差　:", "%5.2f", runner.Corner4StdDev));
    pen.Line(Labelled("相対展開　:", "%5.2f", runner.RunningStyle));
    pen.Line(Labelled("相対展開順:", "%5d", runner.RunningStyleRank));
    pen.Line(LabelIf(runner.AvgAdjLast3F > 0, "総合AR　　:", "%5.2f", runner.AvgAdjLast3F));
    pen.Line(Labelled("FT差　　　:", "%5.2f", runner.Last3FOffset));
    pen.Line(LabelIf(runner.OverallMin < kNoValue, "総合Min　 :", "%5.2f", runner.OverallMin));
    pen.Line(runner.RankOverallMin >= 1 ? Labelled("総合Min順 :", "%5d", runner.RankOverallMin) : S("総合Min順 : "));
}

// A value of the detail cards' past-run lines: five blanks after the label when missing.
std::string FigureOrBlanks(bool shown, std::string_view labelUtf8, double value)
{
    return S(labelUtf8) + (shown ? fmt::sprintf("%5.2f", value) : std::string(5, ' '));
}

void DrawDetailPastRun(DisplayList& list, const PastRun& run, const CellRect& rect)
{
    FillCell(list, rect, colours::kWhite);
    const std::string_view key = run.PastRunKey.View();
    if (IsBlank(key)) {
        return;
    }
    CellPen pen(list, rect);
    // The first line starts one line height below the cell's top (the 1-pixel inset is
    // part of that height), so the ninth line still ends inside a 100-pixel row.
    pen.Gap(TextHeight(8) - 1);
    pen.Line(Field(key, 1, 4) + "." + Field(key, 5, 2) + "." + Field(key, 7, 2) + " " +
             CourseName(FieldView(key, 9, 2), CourseForm::Display) + Surface(run) + Going(run) +
             fmt::sprintf("%4d", run.PastDistance));
    pen.Line(fmt::sprintf("%2d", run.PastPlace) + S("着") + " " + run.PastTime.Str() + " 3F:" + run.PastLast3F.Str() +
             S(" 着差:") + run.PastTimeDiff.Str());
    pen.Line(Corners(run));
    pen.Ink(colours::kBlue);
    pen.Pitch(kCardPitch);
    // The second figures of the lines below start where the base-time line ends; its width
    // is that of the full line, so they stay in one column when the base time is missing.
    const std::string baseLine = Labelled("基準ﾀｲﾑ:", "%7.1f", run.PastBaseTime);
    const double second = static_cast<double>(baseLine.size()) * kCardPitch;
    pen.Line(run.PastBaseTime < 999 ? baseLine : std::string(" "));
    pen.At(0, FigureOrBlanks(run.PastWinnerFirstPace > 0, "K前半:", run.PastWinnerFirstPace));
    pen.Line(FigureOrBlanks(run.PastFirstPace > 0, " 前半:", run.PastFirstPace), second);
    pen.At(0, FigureOrBlanks(run.PastAdjLast3F > 0, "F3指 :", run.PastAdjLast3F));
    pen.Line(FigureOrBlanks(run.PastNearLast3F > 0, " 後半:", run.PastNearLast3F), second);
    pen.Line(FigureOrBlanks(run.PastWinnerBaseTime > 0, "勝TM :", run.PastWinnerBaseTime));
    pen.At(0, FigureOrBlanks(run.PastRankKey < 1000, "総合 :", run.PastRankKey));
    pen.Line(run.PastGapRank >= 1 ? Labelled("順:", "%2d", run.PastGapRank) : S("順:") + "  ", second + 5);
    const std::string pattern =
        S("ﾊﾟﾀｰﾝｺｰﾄﾞ:") + (run.PastGradeCode.empty() ? std::string(3, ' ') : run.PastGradeCode.Str());
    pen.At(0, pattern);
    if (!IsBlank(run.PastAxisCode.View())) {
        pen.At(static_cast<double>(pattern.size()) * kCardPitch + 15, run.PastAxisCode.Str());
    }
}

} // namespace

Colour FrameColour(int frame)
{
    static constexpr Colour kFrames[] = {{255, 255, 255}, {128, 128, 128}, {255, 0, 0},   {0, 0, 255},
                                         {255, 255, 0},   {0, 255, 0},     {255, 128, 0}, {255, 0, 255}};
    return frame >= 1 && frame <= 8 ? kFrames[frame - 1] : colours::kWhite;
}

Colour FrameInk(int frame)
{
    return frame >= 2 && frame <= 8 && frame != 5 ? colours::kWhite : colours::kBlack;
}

Colour FinishColour(int position)
{
    switch (position) {
    case 1:
        return {255, 185, 255};
    case 2:
        return {202, 255, 228};
    case 3:
        return {255, 255, 168};
    default:
        return colours::kWhite;
    }
}

std::optional<DisplayList> DrawRaceCardCell(const RaceDay& day, int race, int column, int row,
                                            std::string_view horseNoText, const CellRect& rect, bool developerView)
{
    const Runner* runner = RowRunner(day, race, row, horseNoText);
    if (runner == nullptr || column < 0 || column > 12) {
        return std::nullopt;
    }
    const RaceSlot& slot = day.Races[race];
    const CellRect& cell = rect;
    DisplayList list;
    switch (column) {
    case 0:
    case 1:
        DrawNumberCell(list, *runner, column, cell);
        break;
    case 2:
        DrawNameCell(list, slot, *runner, cell);
        break;
    case 3:
        DrawPeopleCell(list, *runner, cell);
        break;
    case 4:
        DrawFinishCell(list, *runner, cell, developerView);
        break;
    case 5:
        DrawFiguresCell(list, *runner, cell);
        break;
    case 6:
        DrawTimesCell(list, *runner, cell);
        break;
    case 7:
        DrawRanksCell(list, *runner, cell);
        break;
    default:
        DrawCardPastRun(list, runner->Past[column - 8], cell);
        break;
    }
    return list;
}

std::optional<DisplayList> DrawDetailCell(const RaceDay& day, int race, int column, int row,
                                          std::string_view horseNoText, const CellRect& rect)
{
    const Runner* runner = RowRunner(day, race, row, horseNoText);
    if (runner == nullptr || column < 0 || column > 8) {
        return std::nullopt;
    }
    const RaceSlot& slot = day.Races[race];
    DisplayList list;
    switch (column) {
    case 0:
    case 1:
        DrawNumberCell(list, *runner, column, rect);
        break;
    case 2:
        DrawDetailName(list, slot, *runner, rect);
        break;
    case 3:
        DrawDetailFigures(list, *runner, rect);
        break;
    default:
        DrawDetailPastRun(list, runner->Past[column - 4], rect);
        break;
    }
    return list;
}

} // namespace vornal
