#pragma once

#include <string>
#include <vector>

#include "present/TuningViews.h"
#include "season/CalibrationRun.h"

// The developer's tuning tabs after a calibration: every view of the tables in use beside the
// same view of the new tables, and the counts behind the new cells. Texts are CP932.
namespace vornal {

// The caption of the command that measures the tables again: "表の再計測".
std::string RecalibrateCaption();
// The caption of the held-out comparison shown before the tabs: "検証".
std::string CalibrationSummaryCaption();

// "ﾃﾞｰﾀﾃｰﾌﾞﾙ", "ローテーション値" and "順位ﾃｰﾌﾞﾙ", each view headed "現在の表" on the left and
// "新しい表" on the right; "ﾃﾞｰﾀﾃｰﾌﾞﾙ" adds "件数" (ranked runners behind the new rank rates)
// and "順位ﾃｰﾌﾞﾙ" adds "レース数" (the races of each share class behind the new rates).
std::vector<TuningTab> CalibrationTabs(const CalibrationResult& result);

// Two grids side by side under one more header row naming them.
CellGrid SideBySide(const CellGrid& current, const CellGrid& calibrated);

} // namespace vornal
