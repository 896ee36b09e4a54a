#include "store/RecordFiling.h"

#include "store/JvLayout.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/CodeNames.h"

namespace vornal {
namespace {

int RecordLength(std::string_view kind)
{
    if (kind == "RA") {
        return jv::kLengthRA;
    }
    if (kind == "SE") {
        return jv::kLengthSE;
    }
    if (kind == "HR") {
        return jv::kLengthHR;
    }
    if (kind == "UM") {
        return jv::kLengthUM;
    }
    if (kind == "KS") {
        return jv::kLengthKS;
    }
    if (kind == "CH") {
        return jv::kLengthCH;
    }
    return 0;
}

// Record bytes for a message: anything but printable ASCII shows as "?".
std::string Printable(std::string_view bytes)
{
    std::string out(bytes);
    for (char& c : out) {
        if (c < 0x20 || c > 0x7E) {
            c = '?';
        }
    }
    return out;
}

std::string Skipped(std::string_view record, std::string_view what, std::string_view bytes)
{
    return Sjis("スキップ:") + Printable(jv::View(record, jv::kRecordKind)) + "/" + Sjis(what) + Printable(bytes);
}

std::string Created(std::string_view record, std::string_view fileName)
{
    return Sjis("作成済み:") + jv::Get(record, jv::kRaceNo) + "R/" + std::string(fileName);
}

bool IsHistoryDivision(std::string_view record)
{
    const std::string_view division = jv::View(record, jv::kDataDivision);
    return division == "7" || division == "A" || division == "B";
}

// The race files of a date: the date digits must form a real date before they name a file.
bool CheckDate(std::string_view record, std::vector<std::string>& reported)
{
    const std::string digits = jv::Get(record, jv::kDate);
    if (IsValidDateDigits(digits)) {
        return true;
    }
    reported.push_back(Skipped(record, "日付", digits));
    return false;
}

} // namespace

long long RecentRaceCutoff(const LocalDateTime& today)
{
    const LocalDateTime cutoff = AddDays(today, -5);
    return cutoff.year * 10000LL + cutoff.month * 100LL + cutoff.day;
}

std::string RecordShapeDefect(std::string_view record)
{
    const int length = RecordLength(jv::View(record, jv::kRecordKind));
    if (length == 0) {
        return {};
    }
    if (record.size() != static_cast<std::size_t>(length)) {
        return Sjis("レコード長") + std::to_string(record.size());
    }
    // A line end inside the record would split it into two lines of the store file.
    const std::string_view body = record.substr(0, record.size() - 2);
    if (!record.ends_with("\r\n") || body.find_first_of("\r\n") != std::string_view::npos) {
        return Sjis("改行位置");
    }
    return {};
}

AcquisitionFiler::AcquisitionFiler(std::filesystem::path appDir, DayStoreWriter& writer, long long cutoff,
                                   std::set<std::string>& dates, MasterLists& masters)
    : m_appDir(std::move(appDir)), m_writer(writer), m_cutoff(cutoff), m_dates(dates), m_masters(masters)
{
}

Status AcquisitionFiler::File(std::string_view record, std::vector<std::string>& reported)
{
    const std::string_view kind = jv::View(record, jv::kRecordKind);
    if (const std::string defect = RecordShapeDefect(record); !defect.empty()) {
        reported.push_back(Sjis("スキップ:") + Printable(kind) + "/" + defect);
        return Status::Success();
    }
    const long long division = jv::Number(record, jv::kDataDivision);
    const long long date = jv::Number(record, jv::kDate);
    const long long race = jv::Number(record, jv::kRaceNo);
    if (kind == "RA") {
        return FileRace(record, division, date, race, reported);
    }
    if (kind == "SE") {
        return FileRunner(record, division, date, race, reported);
    }
    if (kind == "HR") {
        return FilePayout(record, race, reported);
    }
    if (kind == "UM") {
        m_masters.horses.push_back(StoredLine(record));
    } else if (kind == "KS") {
        m_masters.jockeys.push_back(StoredLine(record));
    } else if (kind == "CH") {
        m_masters.trainers.push_back(StoredLine(record));
    }
    return Status::Success();
}

Status AcquisitionFiler::FileRace(std::string_view record, long long division, long long date, long long race,
                                    std::vector<std::string>& reported)
{
    // Recent races are taken whatever their division except 0 (a cancelled registration);
    // older ones only as regular race data (divisions 1..6).
    const bool regular = division >= 1 && division <= 6;
    if ((regular || (date > m_cutoff && division != 0)) && race > 0 && CheckDate(record, reported)) {
        const std::string day = DayName(record);
        const std::filesystem::path path = RaceFile(m_appDir, day);
        if (Status result = m_writer.UpsertRaceLine(path, BlankRecordPrefix(record), true); !result) {
            return result;
        }
        m_dates.insert(day);
        reported.push_back(Created(record, DayFileName(day, kRaceExt)));
    }
    if (IsHistoryDivision(record)) {
        const std::string dateCourse = jv::Get(record, jv::kDateCourse);
        if (!IsValidDateDigits(dateCourse.substr(0, 8))) {
            reported.push_back(Skipped(record, "日付", dateCourse.substr(0, 8)));
        } else if (!IsKnownCourseCode(dateCourse.substr(8, 2))) {
            reported.push_back(Skipped(record, "場コード", dateCourse.substr(8, 2)));
        } else {
            const std::filesystem::path path = ResultHistoryFile(m_appDir, dateCourse);
            if (Status result = m_writer.UpsertRaceLine(path, BlankRecordPrefix(record), false); !result) {
                return result;
            }
            reported.push_back(Created(record, ResultHistoryFileName(dateCourse)));
        }
    }
    return Status::Success();
}

Status AcquisitionFiler::FileRunner(std::string_view record, long long division, long long date, long long race,
                                      std::vector<std::string>& reported)
{
    const long long horse = jv::Number(record, jv::se::kHorseNo);
    const bool regular = division >= 1 && division <= 6;
    // Races above the 12th have no slot in the runner file and are not stored there.
    if ((regular || date > m_cutoff) && race > 0 && horse >= 1 && horse <= 18 && RunnerSlot(record) &&
        CheckDate(record, reported)) {
        const std::string day = DayName(record);
        const std::string_view course = jv::View(record, jv::kCourseCode);
        if (Status result = m_writer.PutRunnerLine(RunnerFile(m_appDir, day, course), record); !result) {
            return result;
        }
        reported.push_back(Sjis("作成済み:") + jv::Get(record, jv::kRaceNo) + "R/" + jv::Get(record, jv::se::kHorseNo) +
                           Sjis("番/") + RunnerFileName(day, course));
    }
    if (IsHistoryDivision(record)) {
        const std::string horseId = jv::Get(record, jv::se::kHorseId);
        if (!IsValidHorseId(horseId)) {
            reported.push_back(Skipped(record, "血統登録番号", horseId));
            return Status::Success();
        }
        if (Status result =
                m_writer.UpsertRaceLine(HorseHistoryFile(m_appDir, horseId), BlankRecordPrefix(record), false);
            !result) {
            return result;
        }
        reported.push_back(Sjis("作成済み:") + jv::Get(record, jv::kYear) + Sjis("年") + Field(record, 16, 2) +
                           Sjis("月") + Field(record, 18, 2) + Sjis("日") +
                           CourseName(jv::View(record, jv::kCourseCode), CourseForm::Short) +
                           jv::Get(record, jv::kRaceNo) + "R/" + HorseHistoryFileName(horseId));
    }
    return Status::Success();
}

Status AcquisitionFiler::FilePayout(std::string_view record, long long race, std::vector<std::string>& reported)
{
    if (race > 0 && CheckDate(record, reported)) {
        const std::string day = DayName(record);
        if (Status result = m_writer.UpsertRaceLine(PayoutFile(m_appDir, day), BlankRecordPrefix(record), false);
            !result) {
            return result;
        }
        reported.push_back(Created(record, DayFileName(day, kPayoutExt)));
    }
    return Status::Success();
}

Status FileResultRecord(const std::filesystem::path& appDir, DayStoreWriter& writer, std::string_view record,
                          std::vector<std::string>& skipped)
{
    const std::string_view kind = jv::View(record, jv::kRecordKind);
    if (kind != "RA" && kind != "SE" && kind != "HR") {
        return Status::Success();
    }
    if (const std::string defect = RecordShapeDefect(record); !defect.empty()) {
        skipped.push_back(Sjis("スキップ:") + Printable(kind) + "/" + defect);
        return Status::Success();
    }
    const long long race = jv::Number(record, jv::kRaceNo);
    if (race <= 0) {
        return Status::Success();
    }
    if (kind == "SE") {
        // A horse number outside 1..18 or a race above the 12th has no runner slot.
        if (!RunnerSlot(record) || !CheckDate(record, skipped)) {
            return Status::Success();
        }
        return writer.PutRunnerLine(RunnerFile(appDir, DayName(record), jv::View(record, jv::kCourseCode)), record);
    }
    if (!CheckDate(record, skipped)) {
        return Status::Success();
    }
    const std::string day = DayName(record);
    if (kind == "RA") {
        return writer.UpsertRaceLine(RaceFile(appDir, day), BlankRecordPrefix(record), true);
    }
    return writer.UpsertRaceLine(PayoutFile(appDir, day), BlankRecordPrefix(record), false);
}

} // namespace vornal
