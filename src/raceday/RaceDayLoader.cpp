#include "raceday/RaceDayLoader.h"

#include <optional>
#include <system_error>

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "raceday/FileCache.h"
#include "raceday/PastPerformance.h"
#include "raceday/RaceRecords.h"
#include "store/HorseMasterConversion.h"
#include "store/JvLayout.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

// Racecourse days close to today often lack a master file that a re-acquisition from a
// few days earlier restores; further ahead the masters simply are not published yet.
constexpr int kRecoverableDays = 5;
// A day with more races than this gets a blank odds file that the odds commands fill.
constexpr int kOddsPlaceholderMinLines = 7;
constexpr int kO1LineLength = jv::kLengthO1 - 2;

const std::string& IncompleteDataMessage()
{
    return Sjis("データが不揃いのようです。「JVデータ取得」画面で取得開始日付を数日前に戻してデータ再取得を行って"
                "みてください。開催日直近のデータは復旧可能な場合が多いです。");
}

bool Exists(const std::filesystem::path& file)
{
    std::error_code error;
    return std::filesystem::exists(file, error);
}

LoadResult Failure(LoadOutcome outcome, std::string message, bool beep = false)
{
    return {outcome, std::move(message), beep, {}};
}

// Creates the day's blank O1 file: one line of blanks per race line.
Status WriteOddsPlaceholder(const std::filesystem::path& file, int lines)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(lines) * jv::kLengthO1);
    for (int i = 0; i < lines; ++i) {
        bytes.append(kO1LineLength, ' ');
        bytes.append("\r\n");
    }
    return WriteFileAtomic(file, bytes);
}

} // namespace

int DaysAhead(int year, int month, int dayOfMonth, const LocalDateTime& now)
{
    const long long seconds =
        (DaysSinceEpoch(year, month, dayOfMonth) - DaysSinceEpoch(now.year, now.month, now.day)) * 86400LL -
        (now.hour * 3600LL + now.minute * 60LL + now.second);
    return static_cast<int>(seconds / 86400LL); // truncates toward zero
}

bool IsRaceSlotUsed(std::string_view raRecord)
{
    const std::string_view course = jv::View(raRecord, jv::kCourseCode);
    return !IsBlank(jv::View(raRecord, jv::kYear)) && !IsBlank(course) && course != "00";
}

std::string AutoOddsTimeOf(std::string_view postTime, int advanceMinutes)
{
    const long long postMinutes = LeadingNumber(FieldView(postTime, 1, 2)) * 60 + LeadingNumber(FieldView(postTime, 3, 2));
    if (postMinutes > 0 && advanceMinutes > 0) {
        return ShiftClock(postTime, -advanceMinutes);
    }
    return {};
}

double OddsValue(std::string_view text)
{
    const std::string_view trimmed = TrimView(text);
    if (trimmed == "----" || trimmed == "****") {
        return -1.0;
    }
    if (trimmed.empty()) {
        return -2.0;
    }
    return static_cast<double>(LeadingNumber(trimmed)) / 10.0;
}

LoadResult ReadRaceDay(RaceDay& day, std::string_view dayName, const LoadOptions& options,
                       std::optional<MasterIndex>* mastersOut)
{
    if (!IsDayName(dayName)) {
        return Failure(LoadOutcome::BadDate, Sjis("日付が正しくありません: ") + std::string(dayName));
    }
    const Clock& clock = options.clock != nullptr ? *options.clock : DefaultClock();
    NullProgress noProgress;
    Progress& progress = options.progress != nullptr ? *options.progress : noProgress;
    const std::filesystem::path& appDir = options.appDir;

    // Neither a folder nor a date that is not there is a day with data missing: said plainly,
    // not with the message that sends the user to re-acquire a recent day.
    std::error_code folderError;
    if (!std::filesystem::is_directory(appDir, folderError)) {
        return Failure(LoadOutcome::NoAppFolder, Sjis("アプリケーションフォルダがありません: ") + PathText(appDir));
    }
    if (!Exists(RaceFile(appDir, dayName)) && !Exists(JockeyMasterFile(appDir, dayName)) &&
        !Exists(TrainerMasterFile(appDir, dayName))) {
        return Failure(LoadOutcome::UnknownDay, std::string(dayName) + Sjis(" のデータは保存されていません。"));
    }

    // 1-3: the jockey and trainer masters must be there.
    const int daysAhead =
        DaysAhead(static_cast<int>(FieldNumber(dayName, 1, 4)), static_cast<int>(FieldNumber(dayName, 7, 2)),
                  static_cast<int>(FieldNumber(dayName, 11, 2)), clock.Now());
    if (!Exists(JockeyMasterFile(appDir, dayName))) {
        return Failure(LoadOutcome::MissingMaster,
                       daysAhead < kRecoverableDays ? IncompleteDataMessage() : Sjis("騎手ﾃﾞｰﾀ が見つかりません。"));
    }
    if (!Exists(TrainerMasterFile(appDir, dayName))) {
        return Failure(LoadOutcome::MissingMaster,
                       daysAhead < kRecoverableDays ? IncompleteDataMessage() : Sjis("調教師ﾃﾞｰﾀ が見つかりません。"));
    }
    // 4: the horse master of the earlier layout is converted once.
    LoadWarnings warnings;
    if (!Exists(HorseMasterFile(appDir, dayName))) {
        const Status converted = options.convertHorseMaster ? options.convertHorseMaster(appDir, dayName)
                                                              : ConvertHorseMaster(appDir, dayName).io;
        if (!converted) {
            return Failure(LoadOutcome::ReadFailed, converted.message);
        }
        // Without a horse master every runner's finishing counts read 0 and the ratings that
        // use them flatten: the day loads, but never silently.
        if (!Exists(HorseMasterFile(appDir, dayName))) {
            warnings.push_back(MakeLoadWarning(appDir, HorseMasterFile(appDir, dayName), -1, {},
                                               Sjis("馬マスタのファイルがありません（変換できる .jvUMA もありません）。"
                                                    "馬の成績は 0 として計算します。")));
        }
    }

    // The masters are indexed once, before anything is cleared, so a damaged master file
    // leaves the previous day in memory.
    std::optional<MasterIndex> masters;
    try {
        masters = MasterIndex::Load(appDir, dayName);
    } catch (const RecordReadError& error) {
        return Failure(LoadOutcome::ReadFailed, error.Message());
    }

    try {
        // 5-7
        if (!options.dayCleared) {
            ClearRaceDay(day);
        }
        const std::filesystem::path raceFilePath = RaceFile(appDir, dayName);
        day.OddsO1Path = WinOddsFile(appDir, dayName);
        day.OddsO2Path = QuinellaOddsFile(appDir, dayName);
        FileCache files(appDir);
        const RecordFile* raceFile = files.Get(raceFilePath, jv::kLengthRA);
        if (raceFile == nullptr) {
            return Failure(LoadOutcome::MissingRaceFile, Sjis("データ作成が未完了のようです。"), true);
        }

        // 8-10
        progress.SetLine(0, "");
        progress.SetLine(1, "");
        progress.SetBar(0, 0, kRaceSlots);
        if (!options.dayCleared) {
            BlankRaceDayRecords(day);
        }
        const int raceLines = CountTextLines(raceFile->Bytes());
        if (raceLines >= kOddsPlaceholderMinLines && !Exists(day.OddsO1Path)) {
            // A store that cannot be written (a read-only copy, a full disk) still loads: the
            // odds are blank in memory, as the placeholder would give them.
            Status written;
            // Asked again under the lock: quick odds stored meanwhile must not be blanked.
            const auto write = [&] {
                if (!Exists(day.OddsO1Path)) {
                    written = WriteOddsPlaceholder(day.OddsO1Path, raceLines);
                }
            };
            // Refused while another writer holds the folder: the odds stay blank in memory, as
            // the placeholder would give them, and a later load writes it.
            if (options.guardWrite) {
                options.guardWrite(write);
            } else {
                write();
            }
            if (!written) {
                warnings.push_back(MakeLoadWarning(appDir, day.OddsO1Path, -1, {},
                                                   Sjis("オッズのファイルを作成できません（") + written.message +
                                                       Sjis("）。オッズは空のまま読み込みます。")));
            }
        }

        // 11-15
        const CheckedInteger advance = ReadAutoOddsMinutes(Settings(SettingsFile(appDir)));
        if (!advance.warning.empty()) {
            warnings.push_back(
                MakeLoadWarning(appDir, SettingsFile(appDir), -1, kAutoOddsMinutes.key, advance.warning));
        }
        LoadState state{std::string(dayName), *masters, files, progress, advance.value, options.cancel};
        state.warnings = std::move(warnings);
        ReadRaceRecords(day, *raceFile, state);
        if (state.Cancelled()) {
            return Failure(LoadOutcome::Cancelled, {});
        }
        if (const RecordFile* payouts = files.Get(PayoutFile(appDir, dayName), jv::kLengthHR)) {
            ReadPayouts(day, *payouts, state);
        }
        if (const RecordFile* winOdds = files.Get(day.OddsO1Path, jv::kLengthO1)) {
            ReadWinOddsRecords(day, *winOdds, state);
        }
        if (const RecordFile* quinellaOdds = files.Get(day.OddsO2Path, jv::kLengthO2)) {
            ReadQuinellaOddsRecords(day, *quinellaOdds);
        }
        ReadOddsAndPastRaces(day, state);
        if (state.Cancelled()) {
            return Failure(LoadOutcome::Cancelled, {});
        }

        // 17-18
        if (raceLines >= 1) {
            for (int r = 0; r < kRaceSlots; ++r) {
                if (IsRaceSlotUsed(day.RaceRA[r]) && !day.Races[r].incomplete) {
                    PastPerformancePass(day, r);
                }
            }
        }
        warnings = std::move(state.warnings);
    } catch (const RecordReadError& error) {
        ClearRaceDay(day);
        BlankRaceDayRecords(day);
        return Failure(LoadOutcome::ReadFailed, error.Message());
    }

    if (mastersOut != nullptr) {
        *mastersOut = std::move(masters);
    }
    LoadResult loaded;
    loaded.warnings = std::move(warnings);
    return loaded;
}

} // namespace vornal
