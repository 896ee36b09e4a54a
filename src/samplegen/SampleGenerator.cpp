#include "samplegen/SampleGenerator.h"

#include <fstream>
#include <system_error>

#include "app/AtomicFile.h"
#include "samplegen/SeasonSimulation.h"
#include "samplegen/TuningFiles.h"

namespace vornal::samplegen {
namespace {

namespace fs = std::filesystem;

std::string PathUtf8(const fs::path& path)
{
    return path.generic_string();
}

// Plain writes are enough for a generated feed: a torn file is simply generated again.
bool WritePlain(const fs::path& file, const std::string& bytes, std::string& message)
{
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) {
        message = "cannot create folder " + PathUtf8(file.parent_path()) + ": " + error.message();
        return false;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        message = "cannot write " + PathUtf8(file);
        return false;
    }
    return true;
}

// Removes the feed files of an earlier run, so that a shorter season does not leave stale
// days behind. Only .jvd files in the feed's own folders are touched.
bool ClearFeed(const fs::path& feedDir, std::string& message)
{
    for (const fs::path& folder : {feedDir / "stored", feedDir / "realtime" / "0B12", feedDir / "realtime" / "0B30"}) {
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            continue;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
            if (entry.is_regular_file() && entry.path().extension() == ".jvd") {
                fs::remove(entry.path(), error);
                if (error) {
                    message = "cannot remove " + PathUtf8(entry.path()) + ": " + error.message();
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace

SampleDate SeasonStart(const SampleOptions& options)
{
    if (!options.end) {
        return options.start;
    }
    int last = DayNumber(*options.end);
    while (Weekday(last) != 6 && Weekday(last) != 0) {
        --last;
    }
    int first = last;
    for (int counted = 1; counted < options.days;) {
        --first;
        if (Weekday(first) == 6 || Weekday(first) == 0) {
            ++counted;
        }
    }
    return DateOfDay(first);
}

Season BuildSampleSeason(const SampleOptions& options)
{
    return SimulateSeason(options.seed, SeasonStart(options), options.days, options.courses);
}

SampleSummary Summarise(const Season& season, const SampleFeed& feed)
{
    SampleSummary summary;
    summary.firstDay = DateOfDay(season.firstDay);
    summary.lastDay = DateOfDay(season.lastDay);
    summary.raceDays = static_cast<int>(season.raceDays.size());
    summary.outsideRaces = static_cast<int>(season.outsideRaces.size());
    summary.jockeys = static_cast<int>(season.world.jockeys.size());
    summary.trainers = static_cast<int>(season.world.trainers.size());
    int published = 0;
    int favouritesWon = 0;
    for (const Race& race : season.races) {
        if (race.course->region != CourseRegion::Jra) {
            continue;
        }
        ++summary.races;
        summary.runners += static_cast<int>(race.runners.size());
        if (!race.published) {
            continue;
        }
        ++published;
        for (const Runner& runner : race.runners) {
            if (runner.popularity == 1 && runner.position == 1) {
                ++favouritesWon;
                break;
            }
        }
    }
    summary.favouriteWinRate = published > 0 ? static_cast<double>(favouritesWon) / published : 0;
    for (const Horse& horse : season.world.horses) {
        summary.horses += horse.runs.empty() ? 0 : 1;
    }
    summary.feedFiles = static_cast<int>(feed.feed.size());
    for (const FeedFile& file : feed.feed) {
        summary.feedBytes += static_cast<long long>(file.bytes.size());
    }
    summary.acquireFrom = AcquireFromText(season);
    return summary;
}

Result<SampleSummary> GenerateSample(const SampleOptions& options)
{
    using Generated = Result<SampleSummary>;
    if (options.days < 1 || options.days > kMaxDays) {
        return Generated::Failure("--days must be between 1 and " + std::to_string(kMaxDays));
    }
    if (options.feedDir.empty()) {
        return Generated::Failure("no feed folder given");
    }
    const Season season = BuildSampleSeason(options);
    FeedOptions feedOptions;
    feedOptions.seed = options.seed;
    feedOptions.allHorseMasters = options.allHorseMasters;
    feedOptions.timeSeries = options.timeSeriesDir.has_value();
    const SampleFeed feed = BuildFeed(season, feedOptions);

    std::string message;
    if (!ClearFeed(options.feedDir, message)) {
        return Generated::Failure(message);
    }
    for (const FeedFile& file : feed.feed) {
        if (!WritePlain(options.feedDir / file.path, file.bytes, message)) {
            return Generated::Failure(message);
        }
    }
    if (options.timeSeriesDir) {
        for (const FeedFile& file : feed.timeSeries) {
            if (!WritePlain(*options.timeSeriesDir / file.path, file.bytes, message)) {
                return Generated::Failure(message);
            }
        }
    }
    if (options.tuningDir) {
        // The tuning files live beside the executable with the settings: written like every
        // other file of the application folder.
        std::error_code error;
        fs::create_directories(*options.tuningDir, error);
        const std::pair<const char*, std::string> files[] = {
            {"GateAdj.dat", GateAdjBytes()}, {"RT.dat", RotationBytes(season)}, {"senuj.dat", RankHitBytes()}};
        for (const auto& [name, bytes] : files) {
            const Status written = WriteFileAtomic(*options.tuningDir / name, bytes);
            if (!written) {
                return Generated::Failure("cannot write " + PathUtf8(*options.tuningDir / name));
            }
        }
    }
    return Generated::Success(Summarise(season, feed));
}

} // namespace vornal::samplegen
