#include "raceday/RaceRecords.h"

#include <algorithm>

#include "raceday/PastPerformance.h"
#include "raceday/RaceDayLoader.h"
#include "store/JvLayout.h"
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

void ReadRunners(RaceDay& day, int race, LoadState& state)
{
    const RaRecord& ra = day.RaceRA[race];
    const int registered = std::clamp(Number(jv::View(ra, jv::ra::kRegistered)), 0, kRunnerSlots);
    const int raceNo = ParseInt(jv::View(ra, jv::kRaceNo)).value_or(0);
    // A race number of 0 or a non-number has no lines in the runner file.
    if (raceNo < 1) {
        return;
    }
    const RecordFile* runners =
        state.files.Get(RunnerFile(state.files.AppDir(), state.dayName, jv::View(ra, jv::kCourseCode)), jv::kLengthSE);
    if (runners == nullptr) {
        return;
    }
    for (int h = 0; h < registered; ++h) {
        const std::string_view record = runners->Record((raceNo - 1) * kRunnerSlots + h);
        day.RunnerSE[race][h] = record;
        const long long raceDate = LeadingNumber(jv::Get(record, jv::kDate));
        if (std::optional<std::string_view> horse = state.masters.Horse(jv::View(record, jv::se::kHorseId))) {
            day.RunnerUM[race][h] = *horse;
        }
        ReadHistory(day, race, h, raceDate, state.files);
    }
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
        day.RaceCount = n + 1;
        state.progress.SetLine(1, RaceProgressText(day.RaceRA[n]));
        ReadRunners(day, n, state);
    }
    // A cut record within the races the day uses is a damaged file, not a shorter day.
    if (raceFile.HasCutRecord() && raceFile.Count() < kRaceSlots) {
        raceFile.RequireWhole();
    }
}

void ReadPayouts(RaceDay& day, const RecordFile& payoutFile)
{
    const int count = std::min(payoutFile.Count(), kRaceSlots);
    if (payoutFile.HasCutRecord() && payoutFile.Count() < kRaceSlots) {
        payoutFile.RequireWhole();
    }
    for (int i = 0; i < count; ++i) {
        const std::string_view record = payoutFile.Record(i);
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

void ReadWinOddsRecords(RaceDay& day, const RecordFile& winOddsFile)
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
        for (int h = 0; h < kRunnerSlots; ++h) {
            ReadPastRaces(day, r, h, state.files);
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
