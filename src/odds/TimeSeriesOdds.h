#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Status.h"
#include "raceday/RaceDay.h"

// The time-series import ("時系列オッズより取得(&J)"): for every race of the loaded day, the
// odds snapshot nearest to the race's odds time is taken from the folder of the outside
// time-series odds program and written into the day's ".jvO1" file, and the odds of the
// day are imported again. The outside folder holds <YYYYMMDD>/<JJKKNNRR>.jvO1, each line
// one 960-byte O1 record, many announcements of one race.
namespace vornal {

// The outside folder: setting "Dir"/"jikeiretu", the application folder when not set.
std::filesystem::path OddsSeriesFolder(const std::filesystem::path& appDir);

// The outside folder when one was chosen; nothing while it is the application folder, where
// the import refuses to run.
std::optional<std::filesystem::path> ChosenOddsSeriesFolder(const std::filesystem::path& appDir);

// "時系列ｵｯｽﾞﾌｫﾙﾀﾞの指定" confirmed: writes `folder` to "Dir"/"jikeiretu". Fails when the
// settings file cannot be written.
Status ChooseOddsFolder(const std::filesystem::path& appDir, const std::filesystem::path& folder);

// Minutes since midnight of an "hhmm" odds time; a blank time reads as minute 0.
int OddsTimeMinutes(std::string_view hhmm);

// The index in `lines` of the snapshot nearest to `targetMinutes`: only lines announced
// on the race day (bytes 16..19 equal to bytes 28..31) count, a line 1000 or more minutes
// away never, and the first of equally near lines wins. -1 when none.
int NearestSnapshot(const std::vector<std::string>& lines, int targetMinutes);
// As above, counting only lines whose whole race key (bytes 12..27: year, date, racecourse,
// meeting, day and race number) is `raceKey`: a snapshot of another year's or another
// meeting's race under the same file name is no snapshot of this race.
int NearestSnapshot(const std::vector<std::string>& lines, int targetMinutes, std::string_view raceKey);

// The snapshot the import takes for race slot `race` of `day` from the outside folder
// `folder`: the line of the race's file nearest to its odds time (NearestSnapshot with the
// race's whole race key). A file with a line that is not a whole O1 record, or larger than
// any day's snapshots, is not trusted for its race, nor is a snapshot with stray bytes in a
// numeric field; each adds why to `skipped`. Nothing when the race has no snapshot; fails
// when its file cannot be read.
Result<std::optional<std::string>> RaceSnapshot(const std::filesystem::path& folder, const RaceDay& day, int race,
                                                std::vector<std::string>& skipped);

struct TimeSeriesReport
{
    bool refused = false; // nothing done; `message` says why
    bool beep = false;
    // For the user (CP932): the refusal, or "<taken>ﾚｰｽ分の単ｵｯｽﾞを取りこみました。".
    std::string message;
    int taken = 0;
    // Races skipped for a snapshot line that is not a whole O1 record, or a nearest snapshot
    // with stray bytes in a numeric field: file, line or snapshot, and why.
    std::vector<std::string> skipped;
    // The store failure that stopped the import (the day's ".jvO1" file missing, a file that
    // cannot be read or written); the races taken before keep their lines.
    Status io;
};

// Runs the import on `day` (null when no date is loaded), then imports the odds of every
// race of the race list. Refused, changing nothing, when the outside folder is the
// application folder ("時系列ｵｯｽﾞﾌｫﾙﾀﾞ指定をしてください。") or no date is loaded
// ("ｵｯｽﾞを読み込みたい当日の開催日ﾃﾞｰﾀを読み込んでください。").
TimeSeriesReport ImportTimeSeriesOdds(const std::filesystem::path& appDir, RaceDay* day);

} // namespace vornal
