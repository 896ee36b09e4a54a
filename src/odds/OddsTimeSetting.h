#pragma once

#include <filesystem>

#include "app/Status.h"

// The odds time ("ｵｯｽﾞ取得指定(&A)", window "オッズ取得時刻指定"): how many minutes before each
// race's post time the time-series import takes its snapshot. One setting, "Time"/
// "AutoOzGet"; the day load turns it into the odds time of every race, so a change takes
// effect at the next load of a date.
namespace vornal {

// The range the entry window accepts (two digits).
inline constexpr int kOddsTimeMin = 3;
inline constexpr int kOddsTimeMax = 59;

// The current setting (30 when missing). A value outside the window's range, written by
// hand, is returned as it stands: the day load reads it that way.
int OddsTimeSetting(const std::filesystem::path& appDir);

// OK of the window: writes `minutes`. Refused, writing nothing, outside 3..59; fails when
// the settings file cannot be written.
Status SetOddsTimeSetting(const std::filesystem::path& appDir, int minutes);

} // namespace vornal
