#include "odds/TimeSeriesOdds.h"

#include <cstdlib>
#include <optional>
#include <vector>
#include <system_error>

#include "app/AppDir.h"
#include "app/AtomicFile.h"
#include "app/SettingKeys.h"
#include "app/Settings.h"
#include "odds/OddsFile.h"
#include "odds/OddsImport.h"
#include "raceday/RecordFile.h"
#include "results/HitJudgement.h"
#include "store/JvLayout.h"
#include "store/RecordFiling.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal {
namespace {

constexpr int kTooFar = 1000; // minutes: a snapshot this far from the odds time is no snapshot of it

bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    const std::filesystem::path ca = std::filesystem::weakly_canonical(a, ec);
    const std::filesystem::path cb = std::filesystem::weakly_canonical(b, ec);
    return (ca.empty() ? a : ca).lexically_normal() == (cb.empty() ? b : cb).lexically_normal();
}

bool IsCodeText(std::string_view text)
{
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) {
            return false;
        }
    }
    return !text.empty();
}

// The snapshot file of race slot `race` in `folder`, or empty when the race record cannot
// name one (a blank slot, bytes that are not a date or codes).
std::filesystem::path SnapshotFile(const std::filesystem::path& folder, std::string_view ra)
{
    const std::string date = jv::Get(ra, jv::kDate);
    const std::string race = std::string(FieldView(ra, 20, 8));
    if (!IsValidDateDigits(date) || race.size() != 8 || !IsCodeText(race)) {
        return {};
    }
    return folder / date / (race + ".jvO1");
}

} // namespace

std::filesystem::path OddsSeriesFolder(const std::filesystem::path& appDir)
{
    const std::string text = kOddsSeriesFolder.Read(Settings(SettingsFile(appDir)));
    if (text.empty()) {
        return appDir;
    }
    return std::filesystem::path(ToUtf8(text));
}

std::optional<std::filesystem::path> ChosenOddsSeriesFolder(const std::filesystem::path& appDir)
{
    std::filesystem::path folder = OddsSeriesFolder(appDir);
    if (SameFolder(folder, appDir)) {
        return std::nullopt;
    }
    return folder;
}

Status ChooseOddsFolder(const std::filesystem::path& appDir, const std::filesystem::path& folder)
{
    if (!kOddsSeriesFolder.Write(Settings(SettingsFile(appDir)), PathText(folder))) {
        return Status::Failure(Sjis("設定ファイルに書き込めません: ") + PathText(SettingsFile(appDir)));
    }
    return Status::Success();
}

int OddsTimeMinutes(std::string_view hhmm)
{
    return static_cast<int>(LeadingNumber(FieldView(hhmm, 1, 2)) * 60 + LeadingNumber(FieldView(hhmm, 3, 2)));
}

int NearestSnapshot(const std::vector<std::string>& lines, int targetMinutes)
{
    return NearestSnapshot(lines, targetMinutes, {});
}

int NearestSnapshot(const std::vector<std::string>& lines, int targetMinutes, std::string_view raceKey)
{
    int best = -1;
    int bestDiff = kTooFar;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (FieldView(line, 16, 4) != FieldView(line, 28, 4)) {
            continue;
        }
        if (!raceKey.empty() && FieldView(line, 12, 16) != raceKey) {
            continue;
        }
        const int announced = static_cast<int>(LeadingNumber(FieldView(line, 32, 2)) * 60 +
                                               LeadingNumber(FieldView(line, 34, 2)));
        const int diff = std::abs(targetMinutes - announced);
        if (diff < bestDiff) {
            best = static_cast<int>(i);
            bestDiff = diff;
        }
    }
    return best;
}

Result<std::optional<std::string>> RaceSnapshot(const std::filesystem::path& folder, const RaceDay& day, int race,
                                                std::vector<std::string>& skipped)
{
    using Snapshot = Result<std::optional<std::string>>;
    if (race < 0 || race >= kRaceSlots) {
        return Snapshot::Success(std::nullopt);
    }
    const std::filesystem::path file = SnapshotFile(folder, day.RaceRA[race].View());
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(file, ec)) {
        return Snapshot::Success(std::nullopt);
    }
    // A snapshot file is read whole: one larger than any day's snapshots is refused first.
    const std::uintmax_t largest = RecordFile::LargestSound(static_cast<int>(kO1LineBytes) + 2);
    if (const std::uintmax_t size = std::filesystem::file_size(file, ec); !ec && size > largest) {
        skipped.push_back(PathText(file) + Sjis(": ファイルが大きすぎます（") + std::to_string(size) + Sjis(" バイト）"));
        return Snapshot::Success(std::nullopt);
    }
    const std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) {
        return Snapshot::Failure(Sjis("読み込めません: ") + PathText(file));
    }
    std::vector<std::string> lines = SplitLfLines(*bytes);
    // The day's file is read by fixed-size records, so a line of another length would tear
    // every record after it: such a file is not trusted for its race.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].empty() && lines[i].size() != kO1LineBytes) {
            skipped.push_back(PathText(file) + fmt::sprintf(Sjis(" %d行目: 長さ%dバイト(%dバイトではありません)"),
                                                            static_cast<int>(i + 1), static_cast<int>(lines[i].size()),
                                                            static_cast<int>(kO1LineBytes)));
            return Snapshot::Success(std::nullopt);
        }
    }
    std::erase_if(lines, [](const std::string& line) { return line.empty(); });
    const std::string_view raceKey = jv::View(day.RaceRA[race].View(), jv::kRaceKey);
    const int target = OddsTimeMinutes(day.Races[race].AutoOddsTime.View());
    const int best = NearestSnapshot(lines, target, raceKey);
    if (best < 0) {
        // The file under this race's name holds another race (another year, meeting or
        // day): its odds must not stand in for this race's.
        if (const int other = NearestSnapshot(lines, target, {}); other >= 0) {
            skipped.push_back(PathText(file) + fmt::sprintf(Sjis(" %d件目: "), other + 1) + Sjis("レースキー ") +
                              std::string(FieldView(lines[static_cast<std::size_t>(other)], 12, 16)) +
                              Sjis(" は別のレースのオッズです（このレースは ") + std::string(raceKey) + Sjis("）"));
        }
        return Snapshot::Success(std::nullopt);
    }
    std::string& snapshot = lines[static_cast<std::size_t>(best)];
    if (const std::optional<BadNumber> bad = FindBadNumber(snapshot)) {
        skipped.push_back(PathText(file) + fmt::sprintf(Sjis(" %d件目: "), best + 1) + Sjis(bad->field) + Sjis("「") +
                          bad->bytes + Sjis("」に数字でないバイトがあります"));
        return Snapshot::Success(std::nullopt);
    }
    return Snapshot::Success(std::move(snapshot));
}

TimeSeriesReport ImportTimeSeriesOdds(const std::filesystem::path& appDir, RaceDay* day)
{
    TimeSeriesReport report;
    const std::optional<std::filesystem::path> folder = ChosenOddsSeriesFolder(appDir);
    if (!folder) {
        report.refused = true;
        report.beep = true;
        report.message = Sjis("時系列ｵｯｽﾞﾌｫﾙﾀﾞ指定をしてください。");
        return report;
    }
    if (day == nullptr || RaceListCount(*day) == 0) {
        report.refused = true;
        report.beep = true;
        report.message = Sjis("ｵｯｽﾞを読み込みたい当日の開催日ﾃﾞｰﾀを読み込んでください。");
        return report;
    }

    // The day's file is read at the first race taken and written once after the last one (or
    // before a failure ends the import), so the races taken before a failure are kept and a
    // crash leaves the old file or the new one whole.
    std::optional<OddsFile> odds;
    int changed = 0;
    const auto save = [&]() -> Status {
        if (changed == 0) {
            return Status::Success();
        }
        Status saved = odds->Save();
        if (saved) {
            report.taken += changed;
        }
        changed = 0;
        return saved;
    };
    for (int r = 0; r < kRaceSlots; ++r) {
        Result<std::optional<std::string>> snapshot = RaceSnapshot(*folder, *day, r, report.skipped);
        if (!snapshot) {
            report.io = snapshot.status;
            if (Status saved = save(); !saved) {
                report.io = saved;
            }
            return report;
        }
        if (!snapshot.value) {
            continue;
        }
        if (!odds) {
            Result<std::optional<OddsFile>> loaded = OddsFile::Load(day->OddsO1Path);
            if (!loaded) {
                report.io = loaded.status;
                return report;
            }
            if (!loaded.value) {
                report.io = Status::Failure(Sjis("ファイルがありません: ") + PathText(day->OddsO1Path));
                return report;
            }
            odds = std::move(loaded.value);
        }
        odds->Replace(r, *snapshot.value);
        ++changed;
    }
    if (Status saved = save(); !saved) {
        report.io = saved;
        return report;
    }
    report.message = fmt::sprintf("%d", report.taken) + Sjis("ﾚｰｽ分の単ｵｯｽﾞを取りこみました。");
    report.io = ImportAllOdds(*day);
    return report;
}

} // namespace vornal
