#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/AtomicFile.h"
#include "app/Clock.h"
#include "store/DayStoreWriter.h"

// Which records the store takes and where they go.
//
// Bulk acquisition, for each record with k = data division (byte 3 as a number, a letter
// reads 0), d = race date (bytes 12..19), r = race number, h = horse number, in this order
// (a record may be stored by several rules):
//   RA  (1 <= k <= 6, or d > cutoff and k != 0) and r > 0  -> Data/<day>.jvRA, the day joins
//                                                             the run's date list
//   SE  (1 <= k <= 6, or d > cutoff) and r > 0, 1 <= h <= 18 -> its slot of Data/<day><course>.jvSEr
//   HR  r > 0                                                -> Data/<day>.jvHR
//   RA  division 7, A or B                                   -> SEIR/<yyyy>/<date><course>.jvSERA
//   SE  division 7, A or B                                   -> SEI/<nnnn>/<horse id>.jvSEI
//   UM, KS, CH                                               -> the run's master lists
// where cutoff is the date five days before today. RA, HR and history lines have bytes
// 3..11 zeroed so that their files sort by race key; runner lines are kept as received.
// Every stored record gives one line "作成済み:..." for the list of created files.
//
// A record of a stored kind whose length is not its kind's record length, or that does not
// end in CR LF, and a record whose date, racecourse code or horse id cannot form its file
// name, is not stored: it gives one line "スキップ:..." instead, and the run goes on. So is
// an RA, SE or HR record with a data division other than 0..9, A and B, or with a numeric
// field read by the system that holds bytes other than digits and blanks (a field wholly of
// the markers "-" or "*" is taken, and the time difference has its sign), an SE record of a
// racecourse code that names no racecourse or a horse number outside 1..18 when it would go
// to its runner file, and a race record that no rule above takes. The line names the field
// and its bytes: "スキップ:SE/馬番19".
namespace vornal {

// The first numeric field read by the system of an RA, SE, HR or O1 record that holds bytes
// other than digits and blanks (a field wholly of "-" or "*" is a marker, the time difference
// has its sign): its name (UTF-8, "距離") and its bytes, each byte outside printable ASCII
// shown as "?". Nothing for a clean record or another kind.
struct BadNumber
{
    std::string field;
    std::string bytes;
};
std::optional<BadNumber> FindBadNumber(std::string_view record);

// Skipped records of a run by reason (the field's name, CP932).
using SkipCounts = std::map<std::string, int>;

// "スキップしたレコード: 3 件（馬番 2 件、場コード 1 件）", or "スキップしたレコード: 0 件".
std::string SkipSummary(const SkipCounts& counts);

// True when `record` has the frame every JV-Data record has: a kind of two capitals or
// digits, and the creation date (bytes 4..11) in digits or blanks. A component's answer of other
// bytes is no data at all, whatever its length.
bool IsJvDataRecord(std::string_view record);

// The KS, CH and UM lines collected by acquisition runs (records without their CR LF).
struct MasterLists
{
    std::vector<std::string> jockeys;  // KS
    std::vector<std::string> trainers; // CH
    std::vector<std::string> horses;   // UM

    bool Empty() const { return jockeys.empty() && trainers.empty() && horses.empty(); }
};

// The date five days before `today` as a yyyymmdd number: races after it are recent.
long long RecentRaceCutoff(const LocalDateTime& today);

// Why a record of a stored kind cannot be stored as it is (its length, its line end), as
// CP932 text; empty when it can, and for kinds the store does not keep.
std::string RecordShapeDefect(std::string_view record);

// Files the records of one acquisition run.
class AcquisitionFiler
{
public:
    // `dates` receives the date texts of stored RA records, `masters` the master lines.
    AcquisitionFiler(std::filesystem::path appDir, DayStoreWriter& writer, long long cutoff,
                     std::set<std::string>& dates, MasterLists& masters);

    // Stores one record (as received, CR LF included), appending its reported lines. Fails
    // only when the file system does.
    Status File(std::string_view record, std::vector<std::string>& reported);

    // The records this filer did not store, by reason.
    const SkipCounts& Skips() const { return m_skips; }

private:
    Status FileRace(std::string_view record, long long division, long long date, long long race,
                    std::vector<std::string>& reported);
    Status FileRunner(std::string_view record, long long division, long long date, long long race,
                      std::vector<std::string>& reported);
    Status FilePayout(std::string_view record, long long race, std::vector<std::string>& reported);

    std::filesystem::path m_appDir;
    DayStoreWriter& m_writer;
    long long m_cutoff;
    std::set<std::string>& m_dates;
    MasterLists& m_masters;
    SkipCounts m_skips;
};

// Stores one record by the rules of results retrieval: RA and HR with r > 0 into the date
// files, SE with r > 0 and h > 0 into its runner slot; nothing else. Records that cannot be
// stored as they are (their shape, a numeric field, their date) add their "スキップ:..."
// line to `skipped`.
Status FileResultRecord(const std::filesystem::path& appDir, DayStoreWriter& writer, std::string_view record,
                        std::vector<std::string>& skipped);

} // namespace vornal
