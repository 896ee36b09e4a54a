#include "store/RecordFiling.h"

#include <optional>

#include "store/JvLayout.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/CodeNames.h"
#include "vocab/RaceTexts.h"

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

// Which race, runner, jockey, trainer or horse a record is about, for the line that drops it:
// "（2026年01月03日中山01R）", "（騎手コード 01234）"; empty when the record is too short to say.
std::string RecordIdentity(std::string_view record)
{
    const std::string_view kind = jv::View(record, jv::kRecordKind);
    const auto field = [&](int position, int length) { return Printable(FieldView(record, position, length)); };
    std::string who;
    if (kind == "KS" && record.size() >= 16) {
        who = Sjis("騎手コード ") + field(12, 5);
    } else if (kind == "CH" && record.size() >= 16) {
        who = Sjis("調教師コード ") + field(12, 5);
    } else if (kind == "UM" && record.size() >= 21) {
        who = Sjis("血統登録番号 ") + field(12, 10);
    } else if (record.size() >= 27) {
        who = field(12, 4) + Sjis("年") + field(16, 2) + Sjis("月") + field(18, 2) + Sjis("日") +
              CourseName(FieldView(record, 20, 2), CourseForm::Short) + StoredRaceLabel(field(26, 2));
        if (kind == "SE" && record.size() >= 30) {
            who += field(29, 2) + Sjis("番");
        }
    }
    return who.empty() ? who : Sjis("（") + who + Sjis("）");
}

std::string SkipLine(std::string_view record, const std::string& reason, std::string_view bytes)
{
    return Sjis("スキップ:") + Printable(jv::View(record, jv::kRecordKind)) + "/" + reason + Printable(bytes);
}

// Reports one dropped record: its line, and its reason counted when the run counts them.
void Skip(std::vector<std::string>& reported, SkipCounts* counts, std::string_view record, std::string_view reason,
          std::string_view bytes)
{
    const std::string& name = Sjis(reason);
    reported.push_back(SkipLine(record, name, bytes));
    if (counts != nullptr) {
        ++(*counts)[name];
    }
}

// The numeric fields each stored kind is read by, with their names for a message. A field
// is read by its leading digits, so a stray byte would quietly change the value ("1x00"
// reads 1): only digits and blanks are taken, or a field wholly of one of the markers "-"
// and "*" (no sale, no figure). The time difference carries its sign in front.
struct NumericField
{
    jv::FieldPos pos;
    const char* name;
    bool signed_ = false;
};

constexpr NumericField kRaceNumbers[] = {
    {jv::kDate, "日付"},
    {jv::kMeeting, "回次"},
    {jv::kMeetingDay, "日次"},
    {jv::kRaceNo, "レース番号"},
    {jv::ra::kDistance, "距離"},
    {jv::ra::kPostTime, "発走時刻"},
    {jv::ra::kRegistered, "登録頭数"},
};
constexpr NumericField kRunnerNumbers[] = {
    {jv::kDate, "日付"},
    {jv::kMeeting, "回次"},
    {jv::kMeetingDay, "日次"},
    {jv::kRaceNo, "レース番号"},
    {jv::se::kFrameNo, "枠番"},
    {jv::se::kHorseNo, "馬番"},
    {jv::se::kCarriedWeight, "負担重量"},
    {jv::se::kArrivalOrder, "入線順位"},
    {jv::se::kFinalPosition, "確定着順"},
    {jv::se::kTime, "走破タイム"},
    {jv::Nth(jv::se::kCorner, 2, 1), "1コーナー順位"},
    {jv::Nth(jv::se::kCorner, 2, 2), "2コーナー順位"},
    {jv::Nth(jv::se::kCorner, 2, 3), "3コーナー順位"},
    {jv::Nth(jv::se::kCorner, 2, 4), "4コーナー順位"},
    {jv::se::kWinOdds, "単勝オッズ"},
    {jv::se::kPopularity, "単勝人気順"},
    {jv::se::kLast3F, "後3ハロン"},
    {jv::se::kTimeDiff, "タイム差", true},
};
constexpr NumericField kPayoutNumbers[] = {
    {jv::kDate, "日付"},
    {jv::kMeeting, "回次"},
    {jv::kMeetingDay, "日次"},
    {jv::kRaceNo, "レース番号"},
};

constexpr NumericField kWinOddsNumbers[] = {
    {jv::kDate, "日付"},
    {jv::kMeeting, "回次"},
    {jv::kMeetingDay, "日次"},
    {jv::kRaceNo, "レース番号"},
    {jv::o1::kAnnounced, "発表月日時分"},
};

bool IsNumericText(std::string_view text, bool withSign)
{
    if (withSign && !text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    for (char c : text) {
        if ((c < '0' || c > '9') && c != ' ') {
            return false;
        }
    }
    return true;
}

bool IsMarker(std::string_view text)
{
    return !text.empty() && (text.find_first_not_of('-') == std::string_view::npos ||
                             text.find_first_not_of('*') == std::string_view::npos);
}

template <std::size_t N> const NumericField* BadField(std::string_view record, const NumericField (&fields)[N])
{
    for (const NumericField& field : fields) {
        const std::string_view text = jv::View(record, field.pos);
        if (!IsNumericText(text, field.signed_) && !IsMarker(text)) {
            return &field;
        }
    }
    return nullptr;
}

// The odds of O1, horse by horse and bracket by bracket: the first bad one's name and bytes.
std::optional<BadNumber> BadOddsField(std::string_view record)
{
    struct Run
    {
        jv::FieldPos first;
        int stride;
        int count;
        const char* name;
    };
    constexpr Run kRuns[] = {{jv::o1::kWinOdds, 8, 18, "単勝オッズ"},
                             {jv::o1::kPlaceOddsLow, 12, 18, "複勝オッズ"},
                             {jv::o1::kPlaceOddsHigh, 12, 18, "複勝オッズ"},
                             {jv::o1::kBracketOdds, 9, 36, "枠連オッズ"}};
    // Most records hold only digits and blanks from the first odds to the last: every field
    // in between is then a number, and the fields need no look one by one.
    const jv::FieldPos last = jv::Nth(jv::o1::kBracketOdds, 9, 36);
    const std::string_view span =
        FieldView(record, jv::o1::kWinOdds.position, last.position + last.length - jv::o1::kWinOdds.position);
    if (IsNumericText(span, false)) {
        return std::nullopt;
    }
    for (const Run& run : kRuns) {
        for (int n = 1; n <= run.count; ++n) {
            const std::string_view text = jv::View(record, jv::Nth(run.first, run.stride, n));
            if (!IsNumericText(text, false) && !IsMarker(text)) {
                return BadNumber{run.name, std::string(text)};
            }
        }
    }
    return std::nullopt;
}

// The payout tables of HR: every key, payout and popularity read; the first bad one's bytes.
std::optional<std::string> BadPayoutField(std::string_view record)
{
    const jv::hr::PayTable* tables[] = {&jv::hr::kWin, &jv::hr::kPlace, &jv::hr::kBracketQuinella, &jv::hr::kQuinella,
                                        &jv::hr::kWide};
    for (const jv::hr::PayTable* table : tables) {
        for (int n = 1; n <= table->entries; ++n) {
            for (const jv::FieldPos pos : {table->key, table->payout, table->popularity}) {
                const std::string_view text = jv::View(record, jv::Nth(pos, table->stride, n));
                if (!IsNumericText(text, false) && !IsMarker(text)) {
                    return std::string(text);
                }
            }
        }
    }
    return std::nullopt;
}

// A numeric field of an RA, SE or HR record that holds other bytes: the record is not stored.
bool CheckNumbers(std::string_view record, std::vector<std::string>& reported, SkipCounts* counts)
{
    if (const std::optional<BadNumber> bad = FindBadNumber(record)) {
        Skip(reported, counts, record, bad->field, bad->bytes);
        return false;
    }
    return true;
}

// Data divisions a race record may carry: 0..9, A and B. Any other byte is no known record.
bool CheckDivision(std::string_view record, std::vector<std::string>& reported, SkipCounts* counts)
{
    const std::string_view division = jv::View(record, jv::kDataDivision);
    const char c = division.empty() ? ' ' : division.front();
    if ((c >= '0' && c <= '9') || c == 'A' || c == 'B') {
        return true;
    }
    Skip(reported, counts, record, "データ区分", division);
    return false;
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
bool CheckDate(std::string_view record, std::vector<std::string>& reported, SkipCounts* counts = nullptr)
{
    const std::string digits = jv::Get(record, jv::kDate);
    if (IsValidDateDigits(digits)) {
        return true;
    }
    Skip(reported, counts, record, "日付", digits);
    return false;
}

// A runner record names its runner file by its racecourse and its slot by race and horse
// number: a code that names no racecourse would file it under a blank name, and a horse
// number outside 1..18 or a race above the 12th has no slot.
bool CheckRunnerSlot(std::string_view record, std::vector<std::string>& reported, SkipCounts* counts)
{
    const std::string_view course = jv::View(record, jv::kCourseCode);
    if (!IsKnownCourseCode(course)) {
        Skip(reported, counts, record, "場コード", course);
        return false;
    }
    // Entries published before the draw carry horse number 0: they are counted apart from
    // numbers no race can have.
    const long long horse = jv::Number(record, jv::se::kHorseNo);
    if (horse == 0) {
        Skip(reported, counts, record, "馬番未確定", jv::View(record, jv::se::kHorseNo));
        return false;
    }
    if (horse < 1 || horse > 18) {
        Skip(reported, counts, record, "馬番", jv::View(record, jv::se::kHorseNo));
        return false;
    }
    if (!RunnerSlot(record)) {
        Skip(reported, counts, record, "レース番号", jv::View(record, jv::kRaceNo));
        return false;
    }
    return true;
}

} // namespace

long long RecentRaceCutoff(const LocalDateTime& today)
{
    const LocalDateTime cutoff = AddDays(today, -5);
    return cutoff.year * 10000LL + cutoff.month * 100LL + cutoff.day;
}

// The reason a shape defect is counted under.
std::string ShapeReason(std::string_view record)
{
    const int length = RecordLength(jv::View(record, jv::kRecordKind));
    return record.size() != static_cast<std::size_t>(length) ? Sjis("レコード長") : Sjis("改行位置");
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
        reported.push_back(Sjis("スキップ:") + Printable(kind) + "/" + defect + RecordIdentity(record));
        ++m_skips[ShapeReason(record)];
        return Status::Success();
    }
    if (kind == "RA" || kind == "SE" || kind == "HR") {
        if (!CheckDivision(record, reported, &m_skips) || !CheckNumbers(record, reported, &m_skips)) {
            return Status::Success();
        }
    }
    const long long division = jv::Number(record, jv::kDataDivision);
    const long long date = jv::Number(record, jv::kDate);
    const long long race = jv::Number(record, jv::kRaceNo);
    const std::size_t before = reported.size();
    Status result = Status::Success();
    if (kind == "RA") {
        result = FileRace(record, division, date, race, reported);
    } else if (kind == "SE") {
        result = FileRunner(record, division, date, race, reported);
    } else if (kind == "HR") {
        result = FilePayout(record, race, reported);
    } else if (kind == "UM") {
        m_masters.horses.push_back(StoredLine(record));
    } else if (kind == "KS") {
        m_masters.jockeys.push_back(StoredLine(record));
    } else if (kind == "CH") {
        m_masters.trainers.push_back(StoredLine(record));
    }
    // A race record no rule took (an old record of a division only recent races are taken
    // in, a race number of 0) still says so.
    if (result && reported.size() == before && (kind == "RA" || kind == "SE" || kind == "HR")) {
        if (race <= 0) {
            Skip(reported, &m_skips, record, "レース番号", jv::View(record, jv::kRaceNo));
        } else {
            Skip(reported, &m_skips, record, "データ区分", jv::View(record, jv::kDataDivision));
        }
    }
    return result;
}

Status AcquisitionFiler::FileRace(std::string_view record, long long division, long long date, long long race,
                                  std::vector<std::string>& reported)
{
    // Recent races are taken whatever their division except 0 (a cancelled registration);
    // older ones only as regular race data (divisions 1..6).
    const bool regular = division >= 1 && division <= 6;
    if ((regular || (date > m_cutoff && division != 0)) && race > 0 && CheckDate(record, reported, &m_skips)) {
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
            Skip(reported, &m_skips, record, "日付", dateCourse.substr(0, 8));
        } else if (!IsKnownCourseCode(dateCourse.substr(8, 2))) {
            Skip(reported, &m_skips, record, "場コード", dateCourse.substr(8, 2));
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
    const bool regular = division >= 1 && division <= 6;
    if ((regular || date > m_cutoff) && race > 0 && CheckRunnerSlot(record, reported, &m_skips) &&
        CheckDate(record, reported, &m_skips)) {
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
            Skip(reported, &m_skips, record, "血統登録番号", horseId);
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
    if (race > 0 && CheckDate(record, reported, &m_skips)) {
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
        skipped.push_back(Sjis("スキップ:") + Printable(kind) + "/" + defect + RecordIdentity(record));
        return Status::Success();
    }
    if (!CheckNumbers(record, skipped, nullptr)) {
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

bool IsJvDataRecord(std::string_view record)
{
    if (record.size() < 11) {
        return false;
    }
    for (char c : record.substr(0, 2)) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    // Blank creation dates occur in records made by hand; any other byte there is no date.
    const std::string_view created = record.substr(3, 8);
    return created.find_first_not_of("0123456789 ") == std::string_view::npos;
}

std::string SkipSummary(const SkipCounts& counts)
{
    int total = 0;
    std::string parts;
    for (const auto& [reason, count] : counts) {
        total += count;
        parts += (parts.empty() ? "" : Sjis("、")) + reason + " " + std::to_string(count) + Sjis(" 件");
    }
    if (total == 0) {
        return Sjis("スキップしたレコード: 0 件");
    }
    return Sjis("スキップしたレコード: ") + std::to_string(total) + Sjis(" 件（") + parts + Sjis("）");
}

std::optional<BadNumber> FindBadNumber(std::string_view record)
{
    const std::string_view kind = jv::View(record, jv::kRecordKind);
    const NumericField* bad = nullptr;
    if (kind == "RA") {
        bad = BadField(record, kRaceNumbers);
    } else if (kind == "SE") {
        bad = BadField(record, kRunnerNumbers);
    } else if (kind == "O1") {
        bad = BadField(record, kWinOddsNumbers);
        if (bad == nullptr) {
            if (std::optional<BadNumber> odds = BadOddsField(record)) {
                return BadNumber{odds->field, Printable(odds->bytes)};
            }
        }
    } else if (kind == "HR") {
        bad = BadField(record, kPayoutNumbers);
        if (bad == nullptr) {
            if (const std::optional<std::string> bytes = BadPayoutField(record)) {
                return BadNumber{"払戻", Printable(*bytes)};
            }
        }
    }
    if (bad != nullptr) {
        return BadNumber{bad->name, Printable(jv::View(record, bad->pos))};
    }
    return std::nullopt;
}

} // namespace vornal
