#include "cli/SamplegenCommand.h"

#include <ostream>

#include "samplegen/SampleGenerator.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal::cli {
namespace {

using samplegen::SampleOptions;

bool ReadCount(const CliContext& context, const std::string& name, long long low, long long high, long long& value)
{
    const std::optional<std::string> text = context.Option(name);
    if (!text) {
        return true;
    }
    if (!IsAllDigits(*text) || text->size() > 18 || LeadingNumber(*text) < low || LeadingNumber(*text) > high) {
        context.err << "vornal-cli samplegen: " << name << " needs a whole number from " << low << " to " << high
                    << "\n";
        return false;
    }
    value = LeadingNumber(*text);
    return true;
}

bool ReadDate(const CliContext& context, const std::string& name, std::optional<samplegen::SampleDate>& date)
{
    const std::optional<std::string> text = context.Option(name);
    if (!text) {
        return true;
    }
    date = samplegen::ParseIsoDate(*text);
    if (!date) {
        context.err << "vornal-cli samplegen: " << name << " needs a date YYYY-MM-DD\n";
        return false;
    }
    return true;
}

} // namespace

int RunSamplegen(CliContext& context)
{
    const std::optional<std::string> feed = context.Option("--feed");
    if (!feed || feed->empty()) {
        context.err << "usage: vornal-cli samplegen --feed DIR [--seed N] [--days N] [--courses N] [--start YYYY-MM-DD | --end "
                       "YYYY-MM-DD] [--tuning DIR] [--timeseries DIR] [--all-masters]\n";
        return kExitUsage;
    }
    SampleOptions options;
    options.feedDir = *feed;
    long long seed = 1;
    long long days = options.days;
    long long courses = options.courses;
    std::optional<samplegen::SampleDate> start;
    std::optional<samplegen::SampleDate> end;
    if (!ReadCount(context, "--seed", 0, 999999999999999999LL, seed) ||
        !ReadCount(context, "--days", 1, samplegen::kMaxDays, days) || !ReadCount(context, "--courses", 1, 3, courses) ||
        !ReadDate(context, "--start", start) ||
        !ReadDate(context, "--end", end)) {
        return kExitUsage;
    }
    if (start && end) {
        context.err << "vornal-cli samplegen: give --start or --end, not both\n";
        return kExitUsage;
    }
    options.seed = static_cast<std::uint64_t>(seed);
    options.days = static_cast<int>(days);
    options.courses = static_cast<int>(courses);
    if (start) {
        options.start = *start;
    }
    options.end = end;
    if (const std::optional<std::string> tuning = context.Option("--tuning")) {
        options.tuningDir = *tuning;
    }
    if (const std::optional<std::string> series = context.Option("--timeseries")) {
        options.timeSeriesDir = *series;
    }
    options.allHorseMasters = context.Flag("--all-masters");

    const Result<samplegen::SampleSummary> result = samplegen::GenerateSample(options);
    if (!result) {
        context.err << "vornal-cli samplegen: " << result.message() << "\n";
        return kExitFailure;
    }
    const samplegen::SampleSummary& s = result.value;
    context.out << fmt::sprintf("sample season %s .. %s: %d race days, %d races (%d outside JRA), %d runners\n",
                                samplegen::IsoText(s.firstDay), samplegen::IsoText(s.lastDay), s.raceDays, s.races,
                                s.outsideRaces, s.runners);
    context.out << fmt::sprintf("%d horses, %d jockeys, %d trainers; favourites won %.1f%% of the races\n", s.horses,
                                s.jockeys, s.trainers, s.favouriteWinRate * 100.0);
    context.out << fmt::sprintf("feed %s: %d files, %.1f MB; the last day has entries only\n", options.feedDir.string(),
                                s.feedFiles, s.feedBytes / 1e6);
    context.out << "acquire the whole season with: --from \"" << s.acquireFrom << "\"\n";
    return kExitOk;
}

} // namespace vornal::cli
