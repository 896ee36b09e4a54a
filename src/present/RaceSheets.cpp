#include "present/RaceSheets.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <set>
#include <span>
#include <vector>

#include "betting/QuinellaRanks.h"
#include "present/FieldFormat.h"
#include "present/RaceLabels.h"
#include "results/HitJudgement.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/Combinations.h"
#include "vocab/RaceTexts.h"
#include "vocab/RacingTerms.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

int SlotYear(const RaceSlot& race)
{
    return static_cast<int>(FieldNumber(race.SlotKey.View(), 1, 4));
}

// "2026年 1月 5日": the date of the SlotKey with month and day in two places.
std::string SlotDate(const RaceSlot& race)
{
    return SpacedDateText(race.SlotKey.View());
}

int Runners(const RaceSlot& race)
{
    return std::clamp(race.RunnerCount, 0, kRunnerSlots);
}

// The runner a horse number names, or null for a number outside the race's slots.
const Runner* RunnerByNumber(const RaceSlot& race, int horseNo)
{
    return horseNo >= 1 && horseNo <= kRunnerSlots ? &race.Runners[horseNo - 1] : nullptr;
}

std::string GradeText(std::string_view code)
{
    static constexpr std::pair<std::string_view, std::string_view> kGrades[] = {
        {"A", "G1   "},    {"B", "G2   "}, {"C", "G3   "}, {"D", "重賞ﾚｰｽ "},
        {"E", "特別ﾚｰｽ "}, {"F", "JG1  "}, {"G", "JG2  "}, {"H", "JG3  "}};
    for (const auto& [key, text] : kGrades) {
        if (code == key) {
            return Sjis(text);
        }
    }
    return "     ";
}

std::string RaceKindText(std::string_view code)
{
    static constexpr std::pair<int, std::string_view> kKinds[] = {
        {11, "ｻﾗ系2歳         "}, {12, "ｻﾗ系3歳         "}, {13, "ｻﾗ系3歳以上     "}, {14, "ｻﾗ系4歳以上     "},
        {18, "ｻﾗ系障害3歳以上 "}, {19, "ｻﾗ系障害4歳以上 "}, {21, "ｱﾗ系2歳         "}, {22, "ｱﾗ系3歳         "},
        {23, "ｱﾗ系3歳以上     "}, {24, "ｱﾗ系4歳以上     "}};
    const long long number = LeadingNumber(code);
    for (const auto& [key, text] : kKinds) {
        if (number == key) {
            return Sjis(text);
        }
    }
    return {};
}

std::string WeightKindText(std::string_view code)
{
    static constexpr std::pair<std::string_view, std::string_view> kKinds[] = {
        {"1", "ハンデ"}, {"2", "別定　"}, {"3", "馬齢　"}, {"4", "定量　"}};
    for (const auto& [key, text] : kKinds) {
        if (code == key) {
            return Sjis(text);
        }
    }
    return {};
}

// The going of the race: the turf going, or the dirt going when the turf one reads below 1.
std::string GoingText(const RaceDay& day, int slot)
{
    const std::string_view ra = day.RaceRA[slot].View();
    long long going = FieldNumber(ra, 889, 1);
    if (going < 1) {
        going = FieldNumber(ra, 890, 1);
    }
    static constexpr std::string_view kGoings[] = {"良", "稍重", "重", "不良"};
    return going >= 1 && going <= 4 ? Sjis(kGoings[going - 1]) : "  ";
}

std::string SexMark(std::string_view code)
{
    return code == "1" ? Sjis("牡") : code == "2" ? Sjis("牝") : code == "3" ? Sjis("ｾﾝ") : "  ";
}

std::string WeightText(std::string_view digits)
{
    if (digits.size() < 3 || IsBlank(digits)) {
        return {};
    }
    return std::string(digits.substr(0, 2)) + "." + std::string(digits.substr(2, 1)) + "kg";
}

// "⇒" for 1, "→" for 2 and 3, a full-width blank otherwise.
std::string PositionMark(int position)
{
    return position == 1 ? Sjis("⇒") : (position == 2 || position == 3) ? Sjis("→") : Sjis("　");
}

std::string VoteShareText(double odds)
{
    if (odds == 0.0 || 80.0 / odds <= 0.0) {
        return {};
    }
    return fmt::sprintf("%5.1f", 80.0 / odds) + "%";
}

bool HasPairResult(const PairPayout& entry)
{
    const std::string_view key = entry.Key.View();
    return !TrimView(key).empty() && key != " 0- 0";
}

void DrawRaceHeader(PageCanvas& canvas, const RaceDay& day, int slot, BetMethodKind method)
{
    const RaceSlot& race = day.Races[slot];
    const std::string code = SlotCourseCode(race);
    const int raceNumber = RaceNumber(race);
    const std::string_view key = race.SlotKey.View();

    canvas.SetFontName(kPrintFont);
    canvas.SetFont(10, true);
    canvas.Text(210, 150, Sjis("ﾚｰｽ"));
    canvas.SetFont(20, true);
    canvas.Text(100, 25, CourseName(code, CourseForm::Display));

    canvas.SetPen(10);
    canvas.SetBrush(kPrintBlack);
    canvas.Rect(100, 95, 180, 180);
    canvas.SetFontColour(kPrintWhite);
    canvas.Text(raceNumber >= 10 ? 105 : 120, 105, std::to_string(raceNumber));
    canvas.SetFontColour(kPrintBlack);
    canvas.SetBrush(kPrintWhite);

    canvas.SetFont(11, true);
    canvas.Text(300, 20,
                SlotDate(race) + CourseFirstTwo(code) + Field(key, 11, 2) + Sjis("回") + Field(key, 13, 2) +
                    Sjis("日"));

    canvas.SetFont(10);
    const std::string_view post = race.PostTime.View();
    canvas.Text(950, 25,
                std::string(post.substr(0, std::min<std::size_t>(2, post.size()))) + Sjis("時") +
                    std::string(post.size() > 2 ? post.substr(2, 2) : std::string_view{}) + Sjis("分発走"));
    canvas.Text(300, 60, race.RaceName.Str() + " " + GradeText(race.GradeCode.View()));
    canvas.Text(1500, 25, fmt::sprintf("%2d", race.RunnerCount) + Sjis("頭") + Sjis("　　　") + BetMethodSheetMark(method));
    canvas.Text(300, 95,
                fmt::sprintf("%4lldm ", LeadingNumber(race.DistanceText.View())) + TrackLabel(race.TrackCode.View()) +
                    " " + " " + RaceKindText(race.RaceKindCode.View()) + " " +
                    WeightKindText(race.WeightKindCode.View()) + " " + ConditionText(race.ConditionCodes[4].View()));
    canvas.Text(1700, 95, Sjis("馬場【") + GoingText(day, slot) + Sjis("】"));
}

void DrawBets(PageCanvas& canvas, const RaceSlot& race, const BetRecord& bets)
{
    canvas.SetFont(9);
    canvas.Text(1600, 440, Sjis("<<<< 買い目 >>>>"));
    canvas.Text(1600, 480, Sjis("【単勝】"));
    if (bets.BetRunner < 1) {
        canvas.Text(1600, 520, Sjis("該当ナシ"));
    } else {
        const Runner* runner = RunnerByNumber(race, bets.BetRunner);
        canvas.Text(1600, 520, CircledNumber(bets.BetRunner) + (runner ? runner->HorseName.Str() : std::string()));
        canvas.Text(1600, 560,
                    Sjis("Vornal予想配当:") + fmt::sprintf("%7.0f", runner ? runner->PredictedWinPayout : 0.0));
    }
    canvas.Text(1600, 620, Sjis("【連勝】"));
    for (int j = 1; j <= 3; ++j) {
        const std::string_view combo = bets.BetCombos[j].View();
        if (TrimView(combo).empty()) {
            continue;
        }
        canvas.Text(1600, 620 + 40 * j,
                    std::string(combo) + Sjis("　") +
                        PayoutText("%8.0f", race.PredictedQuinellaPayout[QuinellaIndex(combo)]));
    }
}

void DrawShare(PageCanvas& canvas, const RaceSlot& race, const TuningTables& tables)
{
    const int c = ShareClass(race.PopularityShare);
    canvas.SetFont(8);
    canvas.Text(1600, 790, Sjis("○人気占有率：") + fmt::sprintf("%5.1f", race.PopularityShare) + "%");
    canvas.Text(1600, 825, Sjis("○平均配当"));
    canvas.Text(1600, 860, Sjis("【単勝】") + fmt::sprintf("%5.0f", tables.ShareClassStat(c, ShareStat::WinAverage)));
    canvas.Text(1600, 895,
                Sjis("【連勝】") + fmt::sprintf("%5.0f", tables.ShareClassStat(c, ShareStat::QuinellaAverage)));
    canvas.Text(1600, 930, Sjis("○実現確率"));
    static constexpr std::string_view kLabels[] = {
        "1000円未満:", "2000円未満:", "3000円未満:", "4000円未満:", "4000円以上:", "8000円以上:"};
    for (int i = 0; i < 6; ++i) {
        canvas.Text(1650, 965 + 35 * i,
                    Sjis(kLabels[i]) + fmt::sprintf("%5.1f", tables.ShareClassStat(c, static_cast<ShareStat>(i + 1))) +
                        " %");
    }
}

void DrawResults(PageCanvas& canvas, const RaceSlot& race)
{
    canvas.SetFont(8);
    static constexpr std::string_view kLabels[] = {"【単勝】", "【複勝】", "【枠連】", "【馬連】", "【ﾜｲﾄﾞ】"};
    for (int i = 0; i < 5; ++i) {
        canvas.Text(100, 215 + 30 * i, Sjis(kLabels[i]));
    }
    auto runnerEntries = [&](std::span<const RunnerPayout> entries, int y) {
        for (std::size_t e = 0; e < entries.size(); ++e) {
            if (entries[e].Key != 0) {
                canvas.Text(220 + 240 * static_cast<int>(e), y,
                            Sjis("　") + CircledNumber(entries[e].Key) + " " +
                                fmt::sprintf("[%8d]", entries[e].Payout));
            }
        }
    };
    auto pairEntries = [&](std::span<const PairPayout> entries, int y) {
        for (std::size_t e = 0; e < entries.size(); ++e) {
            if (HasPairResult(entries[e])) {
                canvas.Text(220 + 240 * static_cast<int>(e), y,
                            entries[e].Key.Str() + fmt::sprintf("[%8d]", entries[e].Payout));
            }
        }
    };
    runnerEntries(race.WinResult, 215);
    runnerEntries(race.PlaceResult, 245);
    pairEntries(race.BracketResult, 275);
    pairEntries(race.QuinellaResult, 305);
    pairEntries(race.WideResult, 335);
}

void DrawFrames(PageCanvas& canvas, int runners)
{
    canvas.SetPen(10);
    canvas.SetBrushClear();
    canvas.Rect(1580, 1230, 1990, 1795);
    canvas.SetBrush(kPrintGrey);
    canvas.Rect(1580, 1230, 1990, 1270);
    for (const int y : {1375, 1480, 1585, 1690}) {
        canvas.Line(1580, y, 1990, y);
    }
    canvas.Text(1600, 1240, Sjis("着順上位"));

    const int bottom = 550 + 120 * runners;
    canvas.SetPen(20);
    canvas.SetBrush(kPrintGrey);
    canvas.Rect(100, 430, 1450, 550);
    canvas.SetPen(5);
    canvas.Line(100, 200, 1990, 200);
    canvas.SetPen(20);
    canvas.SetBrushClear();
    canvas.Rect(100, 430, 1450, bottom);
    canvas.SetPen(5);
    for (const int x : {150, 200, 580, 700, 820, 950, 1080, 1205, 1320}) {
        canvas.Line(x, 430, x, bottom);
    }
}

void DrawRunner(PageCanvas& canvas, const RaceSlot& race, int h, int& bracket)
{
    const Runner& runner = race.Runners[h];
    const int j = 120 * (h + 1);
    const int frameNo = static_cast<int>(LeadingNumber(runner.FrameNo.View()));
    const int horseNo = static_cast<int>(LeadingNumber(runner.HorseNo.View()));

    canvas.SetFont(11);
    if (frameNo == bracket) {
        canvas.SetPen(1);
        canvas.Line(150, 430 + j, 1450, 430 + j);
    } else {
        canvas.Text(115, j + 470, runner.FrameNo.Str());
        canvas.SetPen(12);
        canvas.Line(100, 430 + j, 1450, 430 + j);
        canvas.SetBrushClear();
        canvas.Rect(110, j + 470, 140, j + 510);
        ++bracket;
    }
    canvas.Text(157, j + 460, CircledNumber(horseNo));
    canvas.SetFontName(kPrintProportionalFont);
    canvas.SetFont(10);
    canvas.Text(205, j + 443, runner.HorseName.Str());
    canvas.SetFontName(kPrintFont);

    canvas.SetFont(9);
    const long long birthYear = FieldNumber(runner.RunnerHorseId.View(), 1, 4);
    canvas.Text(515, j + 435, SexMark(runner.SexCode.View()) + std::to_string(SlotYear(race) - birthYear));

    canvas.SetFont(8);
    canvas.Text(215, j + 484, runner.JockeyName.Str());
    canvas.Text(215, j + 514, runner.TrainerName.Str());
    canvas.Text(450, j + 490, WeightText(runner.CarriedWeight.View()));
    canvas.Text(450, j + 520, runner.RunnerAxisCode.Str() + runner.LapMark.Str());

    const int rows[] = {436, 465, 493, 522};
    const double values[] = {runner.PredictedWinPayout, runner.ClassValue, runner.WinShare, runner.BShare};
    for (int i = 0; i < 4; ++i) {
        if (values[i] > 0) {
            canvas.Text(585, j + rows[i], fmt::sprintf("%7.0f", values[i]));
        }
    }
    struct RankColumn
    {
        int x;
        const char* format;
        int ranks[4];
    };
    const RankColumn columns[] = {
        {705, "%7d", {runner.RankAbility, runner.RankStamina, runner.RankFrontSpeed, runner.RankBackSpeed}},
        {825, "%8d", {runner.RankAchievement, runner.RankClass, runner.RankAvgMargin, runner.RankRotation}},
        {950, "%8d", {runner.RankGoal, runner.RankFinalGoal, runner.RankBaseTime, runner.RankBestBaseTime}},
        {1075, "%8d", {runner.RunningStyleRank, runner.RankOverallMin, runner.RankRecordTime, runner.RankAbilityTime}},
    };
    for (const RankColumn& column : columns) {
        for (int i = 0; i < 4; ++i) {
            if (column.ranks[i] > 0) {
                canvas.Text(column.x, j + rows[i], fmt::sprintf(column.format, column.ranks[i]));
            }
        }
    }

    canvas.Text(1225, j + 440,
                runner.FinishPos > 0 ? PositionMark(runner.FinishPos) + fmt::sprintf("%2d", runner.FinishPos) : " ");
    canvas.Text(1325, j + 440,
                runner.WinPopularity > 0
                    ? PositionMark(runner.WinPopularity) + fmt::sprintf("%4d", runner.WinPopularity)
                    : " ");
    canvas.Text(1325, j + 475, runner.FinalWinOdds != 0.0 ? " " + fmt::sprintf("%5.1f", runner.FinalWinOdds) : " ");
    const std::string voteShare = VoteShareText(runner.FinalWinOdds);
    canvas.Text(1325, j + 510, voteShare);

    if (runner.FinishPos >= 1 && runner.FinishPos <= 5) {
        const int d = 105 * (runner.FinishPos - 1);
        canvas.Text(1600, 1278 + d, Sjis("【") + std::to_string(runner.FinishPos) + Sjis("着】"));
        canvas.Text(1600, 1313 + d, CircledNumber(horseNo) + runner.HorseName.Str());
        canvas.Text(1600, 1348 + d,
                    (runner.WinPopularity != 0 ? fmt::sprintf("%2d", runner.WinPopularity) : std::string()) +
                        Sjis("人気　得票率:") + voteShare);
    }
}

void DrawCaptions(PageCanvas& canvas)
{
    canvas.SetFont(12);
    canvas.Text(105, 460, Sjis("枠"));
    canvas.Text(155, 460, Sjis("馬"));
    canvas.SetFont(10);
    canvas.Text(205, 443, Sjis("馬名"));
    struct Caption
    {
        int x;
        int y;
        std::string_view text;
    };
    // The left edges of the runner table's columns and its right edge: a caption must end
    // before the next column starts.
    static constexpr int kColumnEdges[] = {215, 450, 585, 705, 825, 950, 1080, 1205, 1325, 1450};
    constexpr int kCaptionGap = 5;
    static constexpr Caption kCaptions[] = {
        {215, 485, "騎手名"},    {215, 515, "調教師名"},     {450, 435, "性別･馬齢"}, {450, 490, "負担重量"},
        {450, 520, "軸ｺｰﾄﾞ"},    {585, 436, "Vornal単予配"}, {585, 465, "格"},        {585, 493, "期待確率"},
        {585, 522, "B確率"},     {705, 436, "実力R"},        {705, 465, "ｽﾀﾐﾅR"},     {705, 493, "前半SPR"},
        {705, 522, "後半SPR"},   {825, 436, "実績確率R"},    {825, 465, "格R"},       {825, 493, "平均着差R"},
        {825, 522, "修正ﾛｰﾃR"},  {950, 436, "ｺﾞｰﾙ着差R"},    {950, 465, "最終ｺﾞｰﾙR"}, {950, 493, "基準ﾀｲﾑR"},
        {950, 522, "最良ﾀｲﾑR"},  {1080, 436, "脚質R"},       {1080, 465, "総合minR"}, {1080, 493, "実績ﾀｲﾑR"},
        {1080, 522, "実力ﾀｲﾑR"}, {1205, 440, "確定着順"},    {1325, 440, "単勝人気"}, {1325, 475, "単勝ｵｯｽﾞ"},
        {1325, 510, "得票率"},
    };
    for (const Caption& caption : kCaptions) {
        const std::string text = Sjis(caption.text);
        const int* next = std::upper_bound(std::begin(kColumnEdges), std::end(kColumnEdges), caption.x);
        const int room = (next != std::end(kColumnEdges) ? *next : 1990) - caption.x - kCaptionGap;
        // The 8-point captions of the narrow columns step down rather than run into the
        // next column.
        int points = 8;
        while (points > 5 && FixedPitchWidth(text, points) > room) {
            --points;
        }
        canvas.SetFont(points);
        canvas.Text(caption.x, caption.y, text);
    }
}

void DrawRaceSheet(PageCanvas& canvas, const RaceDay& day, const TuningTables& tables, int slot, BetMethodKind method)
{
    const RaceSlot& race = day.Races[slot];
    DrawRaceHeader(canvas, day, slot, method);
    DrawBets(canvas, race, day.Bets[slot]);
    DrawShare(canvas, race, tables);
    DrawResults(canvas, race);
    const int runners = Runners(race);
    DrawFrames(canvas, runners);
    int bracket = 0;
    for (int h = 0; h < runners; ++h) {
        DrawRunner(canvas, race, h, bracket);
    }
    DrawCaptions(canvas);
}

} // namespace

int FixedPitchWidth(std::string_view cp932, int points)
{
    // A point is 254 / 72 tenths of a millimetre.
    return static_cast<int>(std::lround(static_cast<double>(cp932.size()) * points * 254.0 / 72.0 / 2.0));
}

std::vector<int> RaceSheetSlots(const RaceDay& day)
{
    std::vector<int> slots;
    for (int r = 0; r < kRaceSlots; ++r) {
        if (day.Races[r].RaceLoaded && HasMeetingYear(day, r)) {
            slots.push_back(r);
        }
    }
    return slots;
}

PrintDocument PrintRaceSheets(const RaceDay& day, const TuningTables& tables, BetMethodKind method)
{
    PrintDocument document;
    document.Caption = "Vornal 分析表印刷";
    PageCanvas canvas(document);
    // The race list's slots, not its first count slots: a race line the load could not use
    // keeps its slot, and counting would print that slot empty and leave out the last race.
    const std::vector<int> slots = RaceSheetSlots(day);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (i > 0) {
            canvas.NewPage();
        }
        DrawRaceSheet(canvas, day, tables, slots[i], method);
    }
    document.LastPage = static_cast<int>(slots.size());
    return document;
}

namespace {

constexpr int kAllBetsRows = 12;

void DrawAllBetsFrame(PageCanvas& canvas, int firstRace)
{
    canvas.SetPen(20);
    canvas.SetBrushClear();
    canvas.Rect(100, 150, 1890, 2600);
    canvas.SetBrush(kPrintGrey);
    canvas.Rect(100, 150, 1890, 200);
    canvas.SetPen(5);
    canvas.Line(200, 150, 200, 2600);
    canvas.SetFont(10);
    for (int i = 1; i <= kAllBetsRows; ++i) {
        canvas.Line(100, 200 * i + 200, 1890, 200 * i + 200);
        canvas.Text(120, 200 * i + 80, RaceNumberLabel(firstRace + i - 1));
    }
}

void DrawAllBetsTitle(PageCanvas& canvas, const RaceSlot& race)
{
    const std::string code = SlotCourseCode(race);
    canvas.SetFont(14, true, true);
    canvas.Text(100, 90, SlotDate(race) + " " + CourseName(code, CourseForm::Short) + Sjis("買い目表"));
    canvas.SetFont(10, true);
    canvas.Text(250, 160, CourseName(code, CourseForm::Display));
}

void DrawAllBetsBlock(PageCanvas& canvas, const RaceSlot& race, const BetRecord& bets, int row)
{
    const int y0 = 200 * row + 10;
    canvas.SetFont(10);
    canvas.Text(205, y0 + 2, fmt::sprintf("%2d", race.RunnerCount) + Sjis("頭　") + race.RaceName.Str());
    canvas.Text(205, y0 + 40,
                RaceKindName(race.RaceKindCode.View()) + " " + Trim(ConditionClassName(race.ConditionCodes[4].View())) +
                    " " + TrackLabel(race.TrackCode.View(), TrackLabelForm::FullWidth) + " " + race.DistanceText.Str() + "m");
    if (bets.BetRunner < 1) {
        canvas.Text(202, y0 + 78, Sjis("【単勝】 該当ナシ"));
    } else {
        const Runner* runner = RunnerByNumber(race, bets.BetRunner);
        canvas.Text(202, y0 + 78,
                    Sjis("【単勝】 ") + CircledNumber(bets.BetRunner) + (runner ? runner->HorseName.Str() : "") +
                        Sjis(" 予:") + fmt::sprintf("%6.0f", runner ? runner->PredictedWinPayout : 0.0));
    }
    std::string combos;
    for (int j = 1; j <= 3; ++j) {
        const std::string_view combo = bets.BetCombos[j].View();
        if (!TrimView(combo).empty()) {
            combos += std::string(combo) + Sjis(" 予:") +
                      PayoutText("%7.0f", race.PredictedQuinellaPayout[QuinellaIndex(combo)]) + Sjis("　");
        }
    }
    canvas.Text(202, y0 + 116, Sjis("【連勝】 ") + (combos.empty() ? Sjis("該当ナシ") : combos));
    std::set<std::string> finishers;
    for (int h = 0; h < Runners(race); ++h) {
        const Runner& runner = race.Runners[h];
        if (runner.FinishPos >= 1 && runner.FinishPos <= 3) {
            finishers.insert(Sjis("【") + std::to_string(runner.FinishPos) + Sjis("着】") +
                             CircledNumber(static_cast<int>(LeadingNumber(runner.HorseNo.View()))) + Sjis("　") +
                             fmt::sprintf("%2d", runner.WinPopularity) + Sjis("人"));
        }
    }
    if (!finishers.empty()) {
        canvas.Text(202, y0 + 154, *finishers.begin());
    }
}

} // namespace

PrintDocument PrintAllBetsSheet(const RaceDay& day)
{
    PrintDocument document;
    document.Caption = "買い目一覧　印刷 by Tarvik";
    PageCanvas canvas(document);

    // Runs of consecutive loaded races at one racecourse, each its own page (or pages).
    std::vector<std::vector<int>> runs;
    std::string previousCode;
    for (const int slot : RaceSheetSlots(day)) {
        const std::string code = SlotCourseCode(day.Races[slot]);
        if (runs.empty() || code != previousCode) {
            runs.emplace_back();
        }
        runs.back().push_back(slot);
        previousCode = code;
    }

    bool firstPage = true;
    auto startPage = [&](int block) {
        if (!firstPage) {
            canvas.NewPage();
        }
        firstPage = false;
        DrawAllBetsFrame(canvas, kAllBetsRows * block + 1);
    };
    if (runs.empty()) {
        startPage(0);
    }
    for (const std::vector<int>& run : runs) {
        std::map<int, std::vector<int>> blocks; // page block (races 1-12, 13-24, ...) -> slots
        blocks[0];
        for (const int slot : run) {
            const int number = RaceNumber(day.Races[slot]);
            if (number >= 1) {
                blocks[(number - 1) / kAllBetsRows].push_back(slot);
            }
        }
        for (const auto& [block, slots] : blocks) {
            startPage(block);
            DrawAllBetsTitle(canvas, day.Races[run.front()]);
            for (const int slot : slots) {
                DrawAllBetsBlock(canvas, day.Races[slot], day.Bets[slot],
                                 RaceNumber(day.Races[slot]) - kAllBetsRows * block);
            }
        }
    }
    document.LastPage = static_cast<int>(document.Pages.size());
    return document;
}

} // namespace vornal
