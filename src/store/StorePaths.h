#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Names and places of the day store files under the application folder:
//
//   Data/<DayName>.jvRA, .jvHR, .jvO1, .jvO2, .jvKS, .jvCH, .jvUM2, .jvUMA   per date
//   Data/<DayName><course>.jvSEr                                           per date and racecourse
//   SEIR/<YYYY>/<YYYYMMDD><JJ>.jvSERA                                     race history per day and racecourse
//   SEI/<NNNN>/<HorseId>.jvSEI                                            run history per horse
//
// `DayName` is the 14-byte CP932 date text "YYYY年MM月DD日"; <course> the 4-byte short
// racecourse name. Names are CP932 text inside the system and reach the disk through
// NativeName (UTF-8 on this platform); names read from the disk come back through Cp932Name.
//
// Every name that is formed from record bytes is checked before it becomes a path: the
// builders below throw StoreNameError for a date that is not a real yyyymmdd, a racecourse
// code outside the code table (history files only) or a horse id that is not 10 digits,
// so no record can steer a write out of the application folder. Callers that handle
// outside input check first with the Is* functions and skip the record.
namespace vornal {

// A name-forming field that is not what the store expects.
class StoreNameError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

inline constexpr std::string_view kRaceExt = ".jvRA";
inline constexpr std::string_view kRunnerExt = ".jvSEr";
inline constexpr std::string_view kPayoutExt = ".jvHR";
inline constexpr std::string_view kWinOddsExt = ".jvO1";
inline constexpr std::string_view kQuinellaOddsExt = ".jvO2";
inline constexpr std::string_view kJockeyMasterExt = ".jvKS";
inline constexpr std::string_view kTrainerMasterExt = ".jvCH";
inline constexpr std::string_view kHorseMasterExt = ".jvUM2";
inline constexpr std::string_view kOldHorseMasterExt = ".jvUMA";
inline constexpr std::string_view kResultHistoryExt = ".jvSERA";
inline constexpr std::string_view kHorseHistoryExt = ".jvSEI";

// Lines of a runner file: 12 races of 18 horse numbers.
inline constexpr int kRunnerRaces = 12;
inline constexpr int kRunnerSlotsPerRace = 18;
inline constexpr int kRunnerFileLines = kRunnerRaces * kRunnerSlotsPerRace;

// --- Names from records -------------------------------------------------------------

// The date text of a race record (RA, SE, HR, O1, O2): bytes 12..15, 年, 16..17, 月,
// 18..19, 日. Not checked; see IsValidDateDigits.
std::string DayName(std::string_view raceRecord);

// The date text of eight date digits: "20260105" -> "2026年01月05日" (CP932). Not checked.
std::string DayNameFromDigits(std::string_view yyyymmdd);

// The eight date digits of a date text: "2026年01月05日" -> "20260105".
std::string DayDigits(std::string_view dayName);

// Bytes 12..27 of a race record: year, month-day, racecourse, meeting, day, race number.
std::string RaceKey(std::string_view raceRecord);

// --- Checks -------------------------------------------------------------------------

// True for eight ASCII digits that form a real calendar date (year 1..9999, month 1..12,
// day within the month, 29 February only in leap years).
bool IsValidDateDigits(std::string_view yyyymmdd);

// True for a 14-byte date text "YYYY年MM月DD日" of a real date.
bool IsDayName(std::string_view text);

// True for a racecourse code of the code table (JRA, local racing or abroad).
bool IsKnownCourseCode(std::string_view code);

// True for a horse registration number: exactly ten ASCII digits.
bool IsValidHorseId(std::string_view horseId);

// The date text meant by a user's date: a 14-byte CP932 date text or eight digits, either
// of a real date. Empty for anything else.
std::string ParseDayName(std::string_view cp932Text);

// --- Bare file names (CP932, for paths and the reported lines) ------------------------

// <DayName><ext>, e.g. DayFileName(day, kRaceExt).
std::string DayFileName(std::string_view dayName, std::string_view ext);
// <DayName><4-byte short racecourse name>.jvSEr; an unknown code gives four blanks.
std::string RunnerFileName(std::string_view dayName, std::string_view courseCode);
// <YYYYMMDD><JJ>.jvSERA from the 10 bytes date and racecourse code (race record 12..21).
std::string ResultHistoryFileName(std::string_view dateCourse);
// <HorseId>.jvSEI
std::string HorseHistoryFileName(std::string_view horseId);

// --- Paths under the application folder -------------------------------------------------

// `folder` / the CP932 name `cp932Name` in the file system's encoding: how every store
// path, and every other file the system names in CP932, is built.
std::filesystem::path NamedPath(const std::filesystem::path& folder, std::string_view cp932Name);

std::filesystem::path DayFile(const std::filesystem::path& appDir, std::string_view dayName, std::string_view ext);
std::filesystem::path RaceFile(const std::filesystem::path& appDir, std::string_view dayName);
std::filesystem::path RunnerFile(const std::filesystem::path& appDir, std::string_view dayName,
                                 std::string_view courseCode);
std::filesystem::path PayoutFile(const std::filesystem::path& appDir, std::string_view dayName);
std::filesystem::path WinOddsFile(const std::filesystem::path& appDir, std::string_view dayName);
std::filesystem::path QuinellaOddsFile(const std::filesystem::path& appDir, std::string_view dayName);
std::filesystem::path JockeyMasterFile(const std::filesystem::path& appDir, std::string_view dayName);
std::filesystem::path TrainerMasterFile(const std::filesystem::path& appDir, std::string_view dayName);
std::filesystem::path HorseMasterFile(const std::filesystem::path& appDir, std::string_view dayName);
std::filesystem::path OldHorseMasterFile(const std::filesystem::path& appDir, std::string_view dayName);
// SEIR/<YYYY>/<YYYYMMDD><JJ>.jvSERA; `dateCourse` is race record bytes 12..21.
std::filesystem::path ResultHistoryFile(const std::filesystem::path& appDir, std::string_view dateCourse);
// SEI/<NNNN>/<HorseId>.jvSEI
std::filesystem::path HorseHistoryFile(const std::filesystem::path& appDir, std::string_view horseId);

// True when `path`, taken lexically, lies inside `folder` (not the folder itself, no "..").
bool IsInsideFolder(const std::filesystem::path& path, const std::filesystem::path& folder);

// The dates of the store that have a race file: the first 14 bytes of every "*.jvRA" name
// in Data that form a date text, newest first. A missing folder gives an empty list. A name
// that cannot be read as CP932 text is left out, with a message (CP932) added to `ignored`
// when given.
std::vector<std::string> StoredDayNames(const std::filesystem::path& appDir,
                                        std::vector<std::string>* ignored = nullptr);

} // namespace vornal
