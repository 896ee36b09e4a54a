#include "odds/QuickOdds.h"

#include <map>

#include "app/ErrorLog.h"
#include "odds/OddsFile.h"
#include "odds/OddsImport.h"
#include "results/HitJudgement.h"
#include "store/JvLayout.h"
#include "store/RecordFiling.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/JvResultMessage.h"
#include "vocab/RaceTexts.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

// "東京 9R" of the error lines: the short racecourse name and the race label.
std::string RaceLabel(std::string_view ra)
{
    return CourseName(jv::View(ra, jv::kCourseCode), CourseForm::Short) + RecordRaceLabel(jv::View(ra, jv::kRaceNo));
}

void Beep(const OddsFetchContext& context)
{
    if (context.beep) {
        context.beep();
    }
}

// Shows `statusText` and files it in the error log.
void ReportError(OddsFetchContext& context, OddsFetchReport& report, const std::string& statusText)
{
    Beep(context);
    context.progress.SetLine(0, statusText);
    const std::string line = OddsErrorLine(context.clock.Now(), statusText);
    report.errorLines.push_back(line);
    if (Status logged = AppendErrorLine(context.appDir, line); !logged) {
        report.failures.push_back(logged.message);
    }
}

// The first race slot of the day whose racecourse, meeting, day and race number equal the
// record's, or -1.
int SlotOf(const RaceDay& day, std::string_view record)
{
    const std::string_view key = FieldView(record, 20, 8);
    for (int r = 0; r < kRaceSlots; ++r) {
        if (FieldView(day.RaceRA[r].View(), 20, 8) == key) {
            return r;
        }
    }
    return -1;
}

// The ".jvO1" files one read loop changes, loaded on first use and saved once at its end.
class TouchedFiles
{
public:
    // The file, or null when it does not exist; a read failure is added to `report`.
    OddsFile* Get(const std::filesystem::path& path, OddsFetchReport& report)
    {
        if (auto it = m_files.find(path); it != m_files.end()) {
            return it->second ? &*it->second : nullptr;
        }
        Result<std::optional<OddsFile>> loaded = OddsFile::Load(path);
        if (!loaded) {
            report.failures.push_back(loaded.message());
            m_failed = true;
        }
        auto& slot = m_files[path];
        slot = std::move(loaded.value);
        return slot ? &*slot : nullptr;
    }
    void MarkChanged(const std::filesystem::path& path) { m_changed[path] = true; }
    bool Failed() const { return m_failed; }

    // The ".jvO1" file of race date `date` (8 digits), its path built once for a run of
    // records of one date.
    const std::filesystem::path& OddsPath(const std::filesystem::path& appDir, const std::string& date)
    {
        if (date != m_pathDate) {
            m_path = WinOddsFile(appDir, DayNameFromDigits(date));
            m_pathDate = date;
        }
        return m_path;
    }

    // Saves every changed file; a failure is added to `report` and the others still go.
    void Save(OddsFetchReport& report)
    {
        for (const auto& [path, changed] : m_changed) {
            if (Status saved = m_files[path]->Save(); !saved) {
                report.failures.push_back(saved.message);
                m_failed = true;
            }
        }
        m_changed.clear();
    }

private:
    std::map<std::filesystem::path, std::optional<OddsFile>> m_files;
    std::map<std::filesystem::path, bool> m_changed;
    bool m_failed = false;
    std::string m_pathDate;
    std::filesystem::path m_path;
};

void StoreOneRecord(const RaceDay& day, std::string_view record, OddsFetchContext& context, TouchedFiles& files,
                    OddsFetchReport& report)
{
    if (jv::View(record, jv::kRecordKind) != "O1") {
        return;
    }
    // Division 9 is a cancelled race, 0 a record deleted by the service.
    const std::string_view division = jv::View(record, jv::kDataDivision);
    if (division == "0" || division == "9" || jv::Number(record, jv::kRaceNo) <= 0) {
        return;
    }
    const int slot = SlotOf(day, record);
    if (slot < 0) {
        return;
    }
    // The file is read by fixed-size records: a record of another length must not enter it.
    if (record.size() != kO1LineBytes + 2 || record.substr(kO1LineBytes) != "\r\n") {
        report.failures.push_back(fmt::sprintf("%s%d%s", Sjis("O1レコードの長さが違います: "),
                                               static_cast<int>(record.size()), Sjis("バイト")) +
                                  " " + RaceLabel(day.RaceRA[slot].View()));
        return;
    }
    // Odds are read by their leading digits: a stray byte would show a made-up figure.
    if (const std::optional<BadNumber> bad = FindBadNumber(record)) {
        report.failures.push_back(Sjis("O1レコードの") + Sjis(bad->field) + Sjis("「") + bad->bytes +
                                  Sjis("」に数字でないバイトがあります: ") + RaceLabel(day.RaceRA[slot].View()));
        return;
    }
    const std::string date = jv::Get(day.RaceRA[slot].View(), jv::kDate);
    if (!IsValidDateDigits(date)) {
        return;
    }
    const std::filesystem::path& path = files.OddsPath(context.appDir, date);
    OddsFile* file = files.Get(path, report);
    if (file == nullptr) {
        return;
    }
    const std::string_view line = record.substr(0, kO1LineBytes);
    // Line i belongs to race line i; a race filed late moves every later race down a line,
    // and the odds stored there then belong to another race: their time says nothing about
    // this race's, so they are replaced whatever it is.
    const std::string_view stored = file->Line(slot);
    const bool sameRace = FieldView(stored, 20, 8) == FieldView(line, 20, 8);
    if (!sameRace || jv::Number(stored, jv::o1::kAnnounced) < jv::Number(line, jv::o1::kAnnounced)) {
        file->Replace(slot, line);
        files.MarkChanged(path);
        ++report.recordsStored;
    }
}

// The read loop of StoreOddsRecords into `files`, which the caller saves.
void ReadOddsRecords(const RaceDay& day, OddsFetchContext& context, TouchedFiles& files, OddsFetchReport& report);

// Steps of one race: status, open, read, close, clear. The records go into `files`.
void FetchOne(const RaceDay& day, int race, OddsFetchContext& context, TouchedFiles& files, OddsFetchReport& report)
{
    const std::string_view ra = day.RaceRA[race].View();
    // The status line names the race without its "R": "東京 9オッズ取得中".
    context.progress.SetLine(0, CourseName(jv::View(ra, jv::kCourseCode), CourseForm::Short) +
                                    SpaceForZero(jv::View(ra, jv::kRaceNo)) + Sjis("オッズ取得中"));
    const int opened = context.link.JVRTOpen(kRaceOddsSpec, jv::View(ra, jv::kRaceKey));
    if (opened != 0) {
        ReportError(context, report, RaceLabel(ra) + Sjis(":ｵｯｽﾞ取得エラー：") + JvResultMessage("JVRTOpen", opened));
        CloseOdds(context, report);
    } else {
        ++report.racesOpened;
        ReadOddsRecords(day, context, files, report);
        CloseOdds(context, report);
    }
    context.progress.SetLine(0, "");
    // The component is closed once more whatever happened, so the next open finds it free.
    CloseOdds(context, report);
}

bool HasOddsKey(const RaceDay& day, int race)
{
    return !IsBlank(jv::View(day.RaceRA[race].View(), jv::kRaceKey));
}

void ImportInto(RaceDay& day, int race, OddsFetchReport& report)
{
    if (Status imported = ImportOdds(day, race); !imported) {
        report.failures.push_back(imported.message);
    }
}

// What was read before an error or a cancel is kept: the changed files are written once,
// each replaced whole, so a crash leaves the old file or the new one.
void SaveTouched(TouchedFiles& files, OddsFetchReport& report)
{
    files.Save(report);
    report.storeFailed = report.storeFailed || files.Failed();
}

void ReadOddsRecords(const RaceDay& day, OddsFetchContext& context, TouchedFiles& files, OddsFetchReport& report)
{
    std::string record;
    std::string fileName;
    int foreign = 0;
    while (!files.Failed()) {
        if (context.cancel.IsSet()) {
            break;
        }
        const int result = context.link.JVRead(record, kJvReadBufferSize, fileName);
        if (result > 0) {
            ++report.recordsRead;
            if (!IsJvDataRecord(std::string_view(record).substr(0, static_cast<std::size_t>(result)))) {
                ++foreign;
                continue;
            }
            StoreOneRecord(day, std::string_view(record).substr(0, static_cast<std::size_t>(result)), context, files,
                           report);
            continue;
        }
        if (result == kJvReadNextFile || result == -2 || result == kJvReadBusy) {
            continue;
        }
        if (result < kJvReadBusy) {
            ReportError(context, report, JvResultMessage("JVRead", result));
        }
        break;
    }
    // The real component never answers bytes that are not JV-Data: a damaged answer.
    if (foreign > 0) {
        report.failures.push_back(std::to_string(foreign) + Sjis(" 件のレコードが JV-Data ではないため、読み捨てました。"));
    }
}

} // namespace

std::string OddsErrorLine(const LocalDateTime& now, const std::string& statusText)
{
    return Sjis("【エラー】") + fmt::sprintf("%02d:%02d:%02d", now.hour, now.minute, now.second) + Sjis("：") +
           statusText;
}

void StoreOddsRecords(const RaceDay& day, OddsFetchContext& context, OddsFetchReport& report)
{
    TouchedFiles files;
    ReadOddsRecords(day, context, files, report);
    SaveTouched(files, report);
}

void CloseOdds(OddsFetchContext& context, OddsFetchReport& report)
{
    if (const int closed = context.link.JVClose(); closed != 0) {
        ReportError(context, report, JvResultMessage("JVClose", closed));
    }
}

OddsFetchReport FetchRaceOdds(RaceDay& day, int race, OddsFetchContext& context)
{
    OddsFetchReport report;
    if (race < 0 || race >= kRaceSlots || !HasOddsKey(day, race)) {
        return report;
    }
    TouchedFiles files;
    FetchOne(day, race, context, files, report);
    SaveTouched(files, report);
    ImportInto(day, race, report);
    return report;
}

OddsFetchReport FetchAllOdds(RaceDay& day, OddsFetchContext& context)
{
    OddsFetchReport report;
    const int count = RaceListCount(day);
    // Every race's records go into one copy of the file, written once after the last race
    // (or the error or cancel that ends the run): one replacement and its syncs, not one a race.
    TouchedFiles files;
    for (int r = 0; r < count; ++r) {
        if (!HasOddsKey(day, r)) {
            SaveTouched(files, report);
            return report;
        }
        FetchOne(day, r, context, files, report);
        if (files.Failed()) {
            break;
        }
    }
    SaveTouched(files, report);
    for (Status& failed : ImportEveryRaceOdds(day, count)) {
        report.failures.push_back(std::move(failed.message));
    }
    return report;
}

} // namespace vornal
