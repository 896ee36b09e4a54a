#include "raceday/RaceRecords.h"

#include <algorithm>

#include "raceday/PastPerformance.h"
#include "raceday/RaceDayLoader.h"
#include "store/JvLayout.h"
#include "store/RecordFiling.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/CodeNames.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

int Number(std::string_view text)
{
    return static_cast<int>(LeadingNumber(text));
}

// Racecourse code and race number joined: how odds records find their race.
std::string CourseAndRace(std::string_view record)
{
    return jv::Get(record, jv::kCourseCode) + jv::Get(record, jv::kRaceNo);
}

// A numeric field with stray bytes still reads by the rules of its field; the user is told.
void WarnOfBadNumber(LoadState& state, const RecordFile& file, int index, std::string_view record)
{
    if (std::optional<BadNumber> bad = FindBadNumber(record)) {
        state.warnings.push_back(
            MakeLoadWarning(state.files.AppDir(), file.Path(), index, Sjis(bad->field),
                            Sjis(bad->field) + Sjis("「") + bad->bytes + Sjis("」に数字でないバイトがあります。")));
    }
}

// A past run's record serves every runner that ran in its race; each record is warned of once.
TakenRecord PastRecordCheck(LoadState& state)
{
    return [&state](const RecordFile& file, int index, std::string_view record) {
        if (FindBadNumber(record) && state.warnedPastRecords.insert({&file, index}).second) {
            WarnOfBadNumber(state, file, index, record);
        }
    };
}

void MarkIncomplete(RaceDay& day, int race, LoadState& state, const std::filesystem::path& file, int index,
                    std::string_view detail)
{
    day.Races[race].incomplete = true;
    state.warnings.push_back(
        MakeLoadWarning(state.files.AppDir(), file, index, {},
                        std::string(detail) + Sjis("このレースは不完全なため、評価も買い目もありません。")));
}

// "5R 馬番 3 の出走馬" (CP932).
std::string RunnerText(int raceNo, int horseNo)
{
    return std::to_string(raceNo) + Sjis("R 馬番 ") + std::to_string(horseNo) + Sjis(" の出走馬");
}

// A jockey or trainer the day's master does not hold rates 0 and would quietly change every
// rating of the race: each missing code is warned of once, with the first runner it rides or
// trains. An empty master file is one warning about the file.
// `masterFile` names the master's file; its path is built only for a warning.
void WarnOfMissingMaster(LoadState& state,
                         std::filesystem::path (*masterFile)(const std::filesystem::path&, std::string_view),
                         const RecordFile* master, std::optional<std::string_view> found, std::string_view code,
                         const char* what, int raceNo, int horseNo)
{
    if (found || IsBlank(code)) {
        return;
    }
    const std::string key = std::string(what) + std::string(code);
    if (master == nullptr || master->Count() == 0) {
        if (state.warnedMasterCodes.insert(std::string(what)).second) {
            state.warnings.push_back(MakeLoadWarning(state.files.AppDir(), masterFile(state.files.AppDir(), state.dayName), -1, {},
                                                     Sjis(what) + Sjis("マスタのファイルが空です。") + Sjis(what) +
                                                         Sjis("の成績はすべて 0 として計算します。")));
        }
        return;
    }
    if (!state.warnedMasterCodes.insert(key).second) {
        return;
    }
    state.warnings.push_back(MakeLoadWarning(
        state.files.AppDir(), masterFile(state.files.AppDir(), state.dayName), -1, Sjis(what) + Sjis("コード"),
        RunnerText(raceNo, horseNo) + Sjis("の") + Sjis(what) + Sjis("コード「") + std::string(code) + Sjis("」が") +
            Sjis(what) + Sjis("マスタにありません。この") + Sjis(what) + Sjis("の成績は 0 として計算します。")));
}

void ReadRunners(RaceDay& day, int race, LoadState& state)
{
    const RaRecord& ra = day.RaceRA[race];
    const int registered = std::clamp(Number(jv::View(ra, jv::ra::kRegistered)), 0, kRunnerSlots);
    const int raceNo = ParseInt(jv::View(ra, jv::kRaceNo)).value_or(0);
    // A race number of 0 or a non-number has no lines in the runner file: its registered
    // runners cannot be found.
    if (raceNo < 1) {
        if (registered > 0) {
            MarkIncomplete(day, race, state, RaceFile(state.files.AppDir(), state.dayName), race,
                           Sjis("レース番号「") + std::string(jv::View(ra, jv::kRaceNo)) +
                               Sjis("」のレースの出走馬は読めません（登録 ") + std::to_string(registered) +
                               Sjis(" 頭）。"));
        }
        return;
    }
    const std::filesystem::path runnerFile =
        RunnerFile(state.files.AppDir(), state.dayName, jv::View(ra, jv::kCourseCode));
    const RecordFile* runners = state.files.Get(runnerFile, jv::kLengthSE);
    if (runners == nullptr) {
        if (registered > 0) {
            MarkIncomplete(day, race, state, runnerFile, -1,
                           Sjis("出走馬のファイルがありません（") + std::to_string(raceNo) + Sjis("R、登録 ") +
                               std::to_string(registered) + Sjis(" 頭）。"));
        }
        return;
    }
    for (int h = 0; h < registered; ++h) {
        const int index = (raceNo - 1) * kRunnerSlots + h;
        const std::string_view record = runners->Record(index);
        // Slot h holds horse number h + 1; a blank slot or another horse there is a runner
        // the store lacks, and a blank runner must never be rated or priced.
        if (!day.Races[race].incomplete) {
            const std::string_view body = record.substr(0, record.size() - 2);
            if (IsBlank(body)) {
                MarkIncomplete(day, race, state, runnerFile, index,
                               RunnerText(raceNo, h + 1) + Sjis("のレコードが空です（登録 ") +
                                   std::to_string(registered) + Sjis(" 頭）。"));
            } else if (ParseInt(jv::View(record, jv::se::kHorseNo)) != h + 1) {
                MarkIncomplete(day, race, state, runnerFile, index,
                               RunnerText(raceNo, h + 1) + Sjis("の位置に馬番「") +
                                   std::string(jv::View(record, jv::se::kHorseNo)) +
                                   Sjis("」のレコードがあります（登録 ") + std::to_string(registered) +
                                   Sjis(" 頭）。"));
            }
        }
        WarnOfBadNumber(state, *runners, index, record);
        if (!day.Races[race].incomplete) {
            const std::string_view jockey = jv::View(record, jv::se::kJockeyCode);
            const std::string_view trainer = jv::View(record, jv::se::kTrainerCode);
            WarnOfMissingMaster(state, &JockeyMasterFile, state.masters.JockeyFile(), state.masters.Jockey(jockey), jockey, "騎手", raceNo,
                                h + 1);
            WarnOfMissingMaster(state, &TrainerMasterFile, state.masters.TrainerFile(), state.masters.Trainer(trainer), trainer, "調教師", raceNo,
                                h + 1);
        }
        day.RunnerSE[race][h] = record;
        const long long raceDate = LeadingNumber(jv::Get(record, jv::kDate));
        if (std::optional<std::string_view> horse = state.masters.Horse(jv::View(record, jv::se::kHorseId))) {
            day.RunnerUM[race][h] = *horse;
        }
        ReadHistory(day, race, h, raceDate, state.files, PastRecordCheck(state));
    }
}

// A race line whose year or racecourse is blank takes no slot of the day: the race would
// drop out of the listings and the totals without a word. The first line may be blank as a
// whole (the store drops it when it sorts first); any other such line is said.
void WarnOfUnusableRace(LoadState& state, const RecordFile& raceFile, int index, std::string_view record)
{
    if (IsRaceSlotUsed(record) || IsBlank(record.substr(0, record.size() - 2))) {
        return;
    }
    const std::string_view year = jv::View(record, jv::kYear);
    const bool blankYear = IsBlank(year);
    const char* field = blankYear ? "開催年" : "競馬場コード";
    const std::string_view bytes = blankYear ? year : jv::View(record, jv::kCourseCode);
    state.warnings.push_back(MakeLoadWarning(
        state.files.AppDir(), raceFile.Path(), index, Sjis(field),
        Sjis(field) + Sjis("「") + std::string(bytes) + Sjis("」のため、") +
            std::string(jv::View(record, jv::kRaceNo)) +
            Sjis("R のレースは読み込めません。この日のレース一覧と集計にこのレースは含まれません。")));
}

} // namespace

std::string RaceProgressText(std::string_view raRecord)
{
    const int raceNo = ParseInt(jv::View(raRecord, jv::kRaceNo)).value_or(0);
    return CourseName(jv::View(raRecord, jv::kCourseCode), CourseForm::Short) + std::to_string(raceNo) +
           Sjis("Ｒ処理中");
}

void ReadRaceRecords(RaceDay& day, const RecordFile& raceFile, LoadState& state)
{
    const int count = std::min(raceFile.Count(), kRaceSlots);
    for (int n = 0; n < count; ++n) {
        if (state.Cancelled()) {
            return;
        }
        day.RaceRA[n] = raceFile.Record(n);
        day.Races[n].RaceLoaded = true;
        WarnOfBadNumber(state, raceFile, n, raceFile.Record(n));
        WarnOfUnusableRace(state, raceFile, n, raceFile.Record(n));
        day.RaceCount = n + 1;
        state.progress.SetLine(1, RaceProgressText(day.RaceRA[n]));
        ReadRunners(day, n, state);
    }
    // A cut record within the races the day uses is a damaged file, not a shorter day.
    if (raceFile.HasCutRecord() && raceFile.Count() < kRaceSlots) {
        raceFile.RequireWhole();
    }
}

void ReadPayouts(RaceDay& day, const RecordFile& payoutFile, LoadState& state)
{
    const int count = std::min(payoutFile.Count(), kRaceSlots);
    if (payoutFile.HasCutRecord() && payoutFile.Count() < kRaceSlots) {
        payoutFile.RequireWhole();
    }
    for (int i = 0; i < count; ++i) {
        const std::string_view record = payoutFile.Record(i);
        WarnOfBadNumber(state, payoutFile, i, record);
        const std::string key = jv::Get(record, jv::kYear) + jv::Get(record, jv::kMonthDay) +
                                jv::Get(record, jv::kCourseCode) + jv::Get(record, jv::kRaceNo);
        if (IsBlank(key)) {
            continue;
        }
        for (int r = 0; r < kRaceSlots; ++r) {
            const RaRecord& ra = day.RaceRA[r];
            if (jv::Get(ra, jv::kYear) + jv::Get(ra, jv::kMonthDay) + jv::Get(ra, jv::kCourseCode) +
                    jv::Get(ra, jv::kRaceNo) ==
                key) {
                day.RaceHR[r] = record;
                break;
            }
        }
    }
}

void ReadWinOddsRecords(RaceDay& day, const RecordFile& winOddsFile, LoadState& state)
{
    for (int r = 0; r < kRaceSlots; ++r) {
        const std::string key = CourseAndRace(day.RaceRA[r]);
        if (IsBlank(key)) {
            continue;
        }
        // The O1 file was made with as many lines as the race file had then; a race added
        // since has no line yet and simply has no odds.
        const std::optional<std::string_view> record = winOddsFile.TryRecord(r);
        if (record && CourseAndRace(*record) == key) {
            WarnOfBadNumber(state, winOddsFile, r, *record);
            day.RaceO1[r] = *record;
        }
    }
}

void ReadQuinellaOddsRecords(RaceDay& day, const RecordFile& quinellaOddsFile)
{
    const int count = std::min(quinellaOddsFile.Count(), kRaceSlots);
    if (quinellaOddsFile.HasCutRecord() && quinellaOddsFile.Count() < kRaceSlots) {
        quinellaOddsFile.RequireWhole();
    }
    for (int i = 0; i < count; ++i) {
        const std::string_view record = quinellaOddsFile.Record(i);
        const std::string key = CourseAndRace(record);
        for (int r = 0; r < kRaceSlots; ++r) {
            if (CourseAndRace(day.RaceRA[r]) == key) {
                day.RaceO2[r] = record;
                break;
            }
        }
    }
}

void ReadOddsAndPastRaces(RaceDay& day, LoadState& state)
{
    for (int r = 0; r < kRaceSlots; ++r) {
        if (state.Cancelled()) {
            return;
        }
        const RaRecord& ra = day.RaceRA[r];
        RaceSlot& slot = day.Races[r];
        state.progress.SetLine(1, RaceProgressText(ra));
        if (IsBlank(jv::View(ra, jv::kYear))) {
            continue;
        }
        if (const std::string oddsTime = AutoOddsTimeOf(jv::View(ra, jv::ra::kPostTime), state.autoOddsAdvance);
            !oddsTime.empty()) {
            slot.AutoOddsTime = oddsTime;
        }
        const O1Record& o1 = day.RaceO1[r];
        const TakenRecord check = PastRecordCheck(state);
        for (int h = 0; h < kRunnerSlots; ++h) {
            ReadPastRaces(day, r, h, state.files, check);
            Runner& runner = slot.Runners[h];
            runner.WinOdds = OddsValue(jv::View(o1, jv::Nth(jv::o1::kWinOdds, 8, h + 1)));
            runner.PlaceOddsLow = OddsValue(jv::View(o1, jv::Nth(jv::o1::kPlaceOddsLow, 12, h + 1)));
            runner.PlaceOddsHigh = OddsValue(jv::View(o1, jv::Nth(jv::o1::kPlaceOddsHigh, 12, h + 1)));
        }
        slot.OddsO1Time = jv::Get(o1, jv::o1::kAnnouncedHour) + jv::Get(o1, jv::o1::kAnnouncedMinute);
        const O2Record& o2 = day.RaceO2[r];
        slot.OddsO2Time = jv::Get(o2, jv::o2::kAnnouncedHour) + jv::Get(o2, jv::o2::kAnnouncedMinute);
    }
}

void FillIdentification(RaceDay& day, int race)
{
    const RaRecord& ra = day.RaceRA[race];
    RaceSlot& slot = day.Races[race];
    slot.SlotKey = jv::View(ra, jv::kRaceKey);
    slot.RaceName = jv::View(ra, jv::ra::kRaceName);
    slot.RaceShortName = jv::View(ra, jv::ra::kShortName);
    slot.GradeCode = jv::View(ra, jv::ra::kGrade);
    slot.WeightKindCode = jv::View(ra, jv::ra::kWeightKind);
    for (int i = 0; i < 5; ++i) {
        slot.ConditionCodes[i] = jv::View(ra, jv::Nth(jv::ra::kCondition, 3, i + 1));
    }
    slot.RaceKindCode = jv::View(ra, jv::ra::kRaceKind);
    slot.DistanceText = jv::View(ra, jv::ra::kDistance);
    slot.TrackCode = jv::View(ra, jv::ra::kTrack);
    slot.PostTime = jv::View(ra, jv::ra::kPostTime);
    // Every per-runner loop runs to RunnerCount: a damaged count must not leave the 18 slots.
    slot.RunnerCount = std::clamp(Number(jv::View(ra, jv::ra::kRegistered)), 0, kRunnerSlots);
    for (int h = 0; h < kRunnerSlots; ++h) {
        const SeRecord& se = day.RunnerSE[race][h];
        Runner& runner = slot.Runners[h];
        runner.HorseNo = jv::View(se, jv::se::kHorseNo);
        runner.FrameNo = jv::View(se, jv::se::kFrameNo);
        runner.RunnerHorseId = jv::View(se, jv::se::kHorseId);
        runner.HorseName = jv::View(se, jv::se::kHorseName).substr(0, 18);
        runner.SexCode = jv::View(se, jv::se::kSex);
        runner.CarriedWeight = jv::View(se, jv::se::kCarriedWeight);
        runner.JockeyCode = jv::View(se, jv::se::kJockeyCode);
        runner.JockeyName = jv::View(se, jv::se::kJockeyName);
        runner.TrainerCode = jv::View(se, jv::se::kTrainerCode);
        runner.TrainerName = jv::View(se, jv::se::kTrainerName);
    }
}

} // namespace vornal
