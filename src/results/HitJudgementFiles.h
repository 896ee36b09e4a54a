#pragma once

#include <filesystem>
#include <string_view>

#include "app/AtomicFile.h"
#include "raceday/RaceDay.h"
#include "results/HitJudgement.h"

// The hit-judgement files (".ksr"): one yearly log per bet type and betting method in the
// application folder, one line per race day and meeting (HitJudgement.h gives the names
// and the lines). They are written only while the switch file "makeKaishuFile.key" exists
// in the application folder.
namespace vornal {

inline constexpr const char* kHitFileSwitchName = "makeKaishuFile.key";

// True when the switch file exists in `appDir`.
bool HitFilesEnabled(const std::filesystem::path& appDir);

// Files the day's line of every bet type (単勝, 複勝, 馬連, ﾜｲﾄﾞ, in this order) into its file
// HitFileName(dayName, type, day.BetKindSuffix): the file is read, the day's earlier line
// replaced (FileHitLine), and the file replaced atomically. Rerunning a day leaves one line
// for it in each file; another method files into other files (its suffix differs).
// Does nothing, successfully, without the switch file or when the race list holds fewer
// than two races. Fails, with a CP932 message naming the file, when `dayName` is not a date
// text or the suffix would not make a plain file name, or when a file exists but cannot be
// read or cannot be replaced; that stops the step, and the files written before stay.
// `withoutSwitch` writes them even without the switch file (a backtest asked to).
Status WriteHitJudgementFiles(const std::filesystem::path& appDir, std::string_view dayName, const RaceDay& day,
                              const DayTotals& totals, bool withoutSwitch = false);

// The steps "hit evaluation" and "判定" of the day pipeline, after the bets are chosen:
// EvaluateDayHits, JudgeHits (its totals go to `totals`) and WriteHitJudgementFiles, whose
// result is returned. The totals are set even when the files fail.
Status RunHitJudgement(RaceDay& day, const std::filesystem::path& appDir, std::string_view dayName,
                         DayTotals& totals);

} // namespace vornal
