#include "season/CalibrationRun.h"

#include <algorithm>
#include <mutex>
#include <system_error>

#include "app/AtomicFile.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

// Loads `days` with `tables`, counting every day that loads; the season report of the
// run when `report` is given.
struct CountedRun
{
    CalibrationCounts counts;
    SeasonRun run;
};

CountedRun CountRun(const std::filesystem::path& appDir, const std::vector<std::string>& days,
                    const TuningTables& tables, const CalibrationRunOptions& options)
{
    CountedRun result;
    if (days.empty()) {
        return result;
    }
    std::mutex mutex;
    SeasonRunOptions run;
    run.from = days.front();
    run.to = days.back();
    run.threads = options.threads;
    run.decisionTime = true;
    run.cancel = options.cancel;
    run.tables = &tables;
    run.inspect = [&](const RaceDay& day) {
        CalibrationCounts counts;
        CountDay(day, counts);
        const std::lock_guard lock(mutex);
        result.counts.Add(counts);
    };
    result.run = RunSeason(appDir, options.methods, run);
    return result;
}

void NoteFailures(const SeasonRun& run, std::vector<std::string>& failed)
{
    for (const SeasonDay& day : run.days) {
        if (!day.loaded) {
            failed.push_back(day.dayName);
        }
    }
}

} // namespace

CalibrationResult RunCalibration(const std::filesystem::path& appDir, const CalibrationRunOptions& options)
{
    CalibrationResult result;
    result.prior = options.prior;
    SeasonRunOptions range;
    range.from = options.from;
    range.to = options.to;
    std::vector<std::string> days = SeasonDayNames(appDir, range);
    if (days.size() < 2) {
        result.status = Status::Failure(Sjis("学習と検証には２日以上の保存日が必要です。"));
        return result;
    }
    if (Status loaded = LoadTuningTables(appDir, result.current); !loaded) {
        result.status = loaded;
        return result;
    }
    // Two thirds to learn from, the rest, later in time, to judge on.
    const std::size_t training = std::max<std::size_t>(1, days.size() * 2 / 3);
    result.trainingDays.assign(days.begin(), days.begin() + static_cast<std::ptrdiff_t>(training));
    result.heldOutDays.assign(days.begin() + static_cast<std::ptrdiff_t>(training), days.end());

    auto progress = [&](int step, std::string_view caption) {
        if (options.progress != nullptr) {
            options.progress->SetLine(0, Sjis(caption));
            options.progress->SetBar(0, step, 4);
        }
    };
    auto cancelled = [&] { return options.cancel != nullptr && options.cancel->IsSet(); };

    progress(0, "学習（１回目）");
    CountedRun first = CountRun(appDir, result.trainingDays, result.current, options);
    NoteFailures(first.run, result.failedDays);
    result.calibrated = result.current;
    CalibrateRatingTables(result.calibrated, first.counts, options.prior, result.rankCounts);

    progress(1, "学習（２回目）");
    CountedRun second = cancelled() ? CountedRun{} : CountRun(appDir, result.trainingDays, result.calibrated, options);
    CalibrateRankHitTable(result.calibrated, second.counts, options.prior);
    // The rating tables were counted on the first run, RankHitTable on the second.
    result.training = first.counts;
    result.training.ClassRaces = second.counts.ClassRaces;
    result.training.RankHits = second.counts.RankHits;
    result.training.RankPaid = second.counts.RankPaid;

    SeasonReportOptions reportOptions;
    progress(2, "検証（現在の表）");
    CountedRun before = cancelled() ? CountedRun{} : CountRun(appDir, result.heldOutDays, result.current, options);
    NoteFailures(before.run, result.failedDays);
    progress(3, "検証（新しい表）");
    CountedRun after = cancelled() ? CountedRun{} : CountRun(appDir, result.heldOutDays, result.calibrated, options);
    progress(4, "");
    if (cancelled() || first.run.cancelled || second.run.cancelled || before.run.cancelled || after.run.cancelled) {
        result.status = Status::Failure(Sjis("中断しました。"));
        return result;
    }
    result.before = {before.counts, CalibrationGaps(result.current, before.counts),
                     BuildSeasonReport(before.run, reportOptions)};
    result.after = {after.counts, CalibrationGaps(result.calibrated, after.counts),
                    BuildSeasonReport(after.run, reportOptions)};
    return result;
}

namespace {

struct CalibratedFile
{
    const char* name;
    std::string bytes;
};

std::vector<CalibratedFile> CalibratedFiles(const CalibrationResult& result)
{
    return {{kRotationFileName, RotationFileBytes(result.calibrated.RotationStats)},
            {kRankHitFileName, RankHitFileBytes(result.calibrated)},
            {kRankRateFileName, RankRateFileBytes(result.calibrated, result.rankCounts)}};
}

bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    const std::filesystem::path ca = std::filesystem::weakly_canonical(a, ec);
    const std::filesystem::path cb = std::filesystem::weakly_canonical(b, ec);
    return (ca.empty() ? a : ca).lexically_normal() == (cb.empty() ? b : cb).lexically_normal();
}

} // namespace

Status WriteCalibratedTables(const std::filesystem::path& appDir, const std::filesystem::path& folder,
                             const CalibrationResult& result)
{
    if (SameFolder(appDir, folder)) {
        return Status::Failure(Sjis("使用中の表は上書きしません。別のフォルダを指定してください。"));
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return Status::Failure(PathText(folder) + Sjis(" を作成できません。"));
    }
    for (const CalibratedFile& file : CalibratedFiles(result)) {
        if (Status written = WriteFileAtomic(folder / file.name, file.bytes); !written) {
            return written;
        }
    }
    return Status::Success();
}

Status InstallCalibratedTables(const std::filesystem::path& appDir, const CalibrationResult& result)
{
    for (const CalibratedFile& file : CalibratedFiles(result)) {
        const std::filesystem::path target = appDir / file.name;
        std::error_code error;
        // The first file replaced is the one shipped: a later install never overwrites it.
        const std::filesystem::path kept = appDir / (std::string(file.name) + ".old");
        if (std::filesystem::exists(target, error) && !std::filesystem::exists(kept, error)) {
            const std::optional<std::string> old = ReadFileBytes(target);
            if (!old) {
                return Status::Failure(PathText(target.filename()) + Sjis(" を読み込めません。"));
            }
            if (Status copied = WriteFileAtomic(kept, *old); !copied) {
                return copied;
            }
        }
        if (Status written = WriteFileAtomic(target, file.bytes); !written) {
            return written;
        }
    }
    return Status::Success();
}

} // namespace vornal
