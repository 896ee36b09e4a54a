// The in-process figures of bench/run, and the plain-I/O baselines it sets the whole-process
// figures against. bench/run prepares the season and passes it in the environment:
//
//   VORNAL_BENCH_APP   application folder with the acquired season
//   VORNAL_BENCH_DAY   the largest day, as 20261212
//   VORNAL_BENCH_FILES the files the day load opens, one path a line
//   VORNAL_BENCH_LAST  the last day (entries only), whose odds the odds benchmarks import
//   VORNAL_BENCH_FEED  the replay feed the quick odds come from
//   VORNAL_BENCH_SERIES the folder of time-series odds snapshots
//
//   vornal_bench [Google Benchmark options]      the benchmarks below
//   vornal_bench --sizes                         sizeof(RaceDay) and the heap a loaded day holds
//   vornal_bench --io READS WRITES SYNCS OUT N   the plain-I/O baseline, N runs, median seconds
//
// The baseline reads every file listed in READS whole with read(2), then writes every file
// listed in WRITES (their current contents, taken into memory before the clock starts) under
// OUT with plain sequential writes, syncing SYNCS times in all as the store does: one syncfs
// after the writes, then a fsync of each folder written in turn, so the count matches what
// the traced command did.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "betting/BetMethod.h"
#include "odds/TimeSeriesOdds.h"
#include "raceday/RaceDay.h"
#include "app/AtomicFile.h"
#include "session/DaySession.h"
#include "store/ReplayLink.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

namespace {

namespace fs = std::filesystem;
using vornal::BetMethod;
using vornal::BetMethodKind;
using vornal::DaySession;

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string DayName()
{
    return vornal::ParseDayName(vornal::ToCp932(Env("VORNAL_BENCH_DAY")));
}

std::vector<std::string> Lines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The four methods of the menus: No.1, No.2, the user method (the set the settings choose)
// and the first developer method.
const std::vector<BetMethod>& FourMethods()
{
    static const std::vector<BetMethod> methods = {
        BetMethod{BetMethodKind::No1, {}}, BetMethod{BetMethodKind::No2, {}}, BetMethod{BetMethodKind::User, {}},
        BetMethod{BetMethodKind::Developer1, {}}};
    return methods;
}

std::size_t ReadWhole(const std::string& path, std::vector<char>& buffer)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    std::size_t total = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return total;
}

std::vector<std::string> StoredDays(const std::string& appDir)
{
    std::vector<std::string> days = vornal::StoredDayNames(appDir);
    std::reverse(days.begin(), days.end());
    return days;
}

// A day load with every pass and the day pipeline, the tables already read (warm).
void BM_DayLoad(benchmark::State& state)
{
    DaySession session(Env("VORNAL_BENCH_APP"));
    session.SetHitFiles(DaySession::HitFiles::Never);
    const std::string day = DayName();
    if (!session.LoadDay(day).Ok()) {
        state.SkipWithError("the day does not load");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(session.LoadDay(day));
    }
    state.counters["races"] = session.Day()->RaceCount;
}
BENCHMARK(BM_DayLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(5)->ReportAggregatesOnly(true);

// The baseline of the day load: the files it opens, read whole with plain reads.
void BM_DayFilesRead(benchmark::State& state)
{
    const std::vector<std::string> files = Lines(Env("VORNAL_BENCH_FILES"));
    std::vector<char> buffer(1 << 20);
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const std::string& file : files) {
            bytes += ReadWhole(file, buffer);
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["files"] = static_cast<double>(files.size());
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DayFilesRead)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(5)->ReportAggregatesOnly(true);

// The last day loaded with its odds file blank, as the acquisition leaves it: its bytes, to
// put back before every timed run so each run stores every race's odds and writes the file.
std::optional<std::string> LoadWithBlankOdds(DaySession& session, const std::string& day)
{
    const fs::path odds = vornal::WinOddsFile(session.AppDir(), day);
    std::error_code ignored;
    fs::remove(odds, ignored);
    if (!session.LoadDay(day).Ok()) {
        return std::nullopt;
    }
    return vornal::ReadFileBytes(odds);
}

void PutBack(benchmark::State& state, const fs::path& file, const std::string& bytes)
{
    state.PauseTiming();
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    state.ResumeTiming();
}

// Every race's quick odds of the last day through the replay feed, imported into the loaded
// day and its ".jvO1" written once: the odds import alone, the day loaded before the clock.
void BM_OddsAll(benchmark::State& state)
{
    DaySession session(Env("VORNAL_BENCH_APP"));
    session.SetHitFiles(DaySession::HitFiles::Never);
    const std::string day = vornal::ParseDayName(vornal::ToCp932(Env("VORNAL_BENCH_LAST")));
    vornal::ReplayLink link(Env("VORNAL_BENCH_FEED"));
    const std::optional<std::string> blank = LoadWithBlankOdds(session, day);
    if (!blank || link.JVInit(vornal::kJvSoftwareId) != 0) {
        state.SkipWithError("the last day does not load or the feed does not open");
        return;
    }
    vornal::CancelFlag cancel;
    vornal::OddsFetchReport report;
    for (auto _ : state) {
        PutBack(state, vornal::WinOddsFile(session.AppDir(), day), *blank);
        report = session.FetchOdds(link, std::nullopt, cancel);
    }
    state.counters["races"] = report.racesOpened;
    state.counters["records"] = report.recordsStored;
    state.counters["errors"] = report.ErrorCount();
}
BENCHMARK(BM_OddsAll)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(5)->ReportAggregatesOnly(true);

// The time-series import of the last day into the loaded day, the day loaded before the clock.
void BM_TimeSeriesImport(benchmark::State& state)
{
    const std::string appDir = Env("VORNAL_BENCH_APP");
    DaySession session(appDir);
    session.SetHitFiles(DaySession::HitFiles::Never);
    const std::string day = vornal::ParseDayName(vornal::ToCp932(Env("VORNAL_BENCH_LAST")));
    const bool chosen = static_cast<bool>(vornal::ChooseOddsFolder(appDir, fs::absolute(Env("VORNAL_BENCH_SERIES"))));
    const std::optional<std::string> blank = LoadWithBlankOdds(session, day);
    if (!chosen || !blank) {
        state.SkipWithError("the last day does not load or the snapshot folder is refused");
        return;
    }
    for (auto _ : state) {
        PutBack(state, vornal::WinOddsFile(session.AppDir(), day), *blank);
        benchmark::DoNotOptimize(session.ImportTimeSeriesOdds());
    }
}
BENCHMARK(BM_TimeSeriesImport)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(5)->ReportAggregatesOnly(true);

// The same files read as the load reads them: each whole into memory of its own, kept until
// the last is read (the load holds every file until its passes end). The distance between
// this and the plain read is what keeping the bytes costs before any field is parsed. Each
// run frees a file's memory just before reading it again, so the allocator hands the same
// memory back, as it does from one load to the next (freeing all of it at once would let
// the allocator give it back to the system and fault it in again every run).
void BM_DayFilesKept(benchmark::State& state)
{
    const std::vector<std::string> files = Lines(Env("VORNAL_BENCH_FILES"));
    std::vector<vornal::FileBytes> kept(files.size());
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (std::size_t i = 0; i < files.size(); ++i) {
            vornal::ReadFileBytesUpTo(files[i], std::uintmax_t{1} << 32, kept[i]);
            bytes += kept[i].size;
        }
        benchmark::DoNotOptimize(kept.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DayFilesKept)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(5)->ReportAggregatesOnly(true);

// The betting method changed on a loaded day: the day pipeline alone, cycling the methods.
void BM_PipelineRerun(benchmark::State& state)
{
    DaySession session(Env("VORNAL_BENCH_APP"));
    session.SetHitFiles(DaySession::HitFiles::Never);
    if (!session.LoadDay(DayName()).Ok()) {
        state.SkipWithError("the day does not load");
        return;
    }
    std::size_t next = 0;
    for (auto _ : state) {
        session.SetBetMethod(FourMethods()[next]);
        next = (next + 1) % FourMethods().size();
        benchmark::DoNotOptimize(session.RerunDayPipeline());
    }
    state.counters["races"] = session.Day()->RaceCount;
}
BENCHMARK(BM_PipelineRerun)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->Repetitions(5)->ReportAggregatesOnly(true);

// The sum of the single-day loads of the whole season, one session, one method.
void BM_SeasonLoads(benchmark::State& state)
{
    const std::string appDir = Env("VORNAL_BENCH_APP");
    const std::vector<std::string> days = StoredDays(appDir);
    DaySession session(appDir);
    session.SetHitFiles(DaySession::HitFiles::Never);
    session.SetBetMethod(FourMethods()[0]);
    for (auto _ : state) {
        for (const std::string& day : days) {
            benchmark::DoNotOptimize(session.LoadDay(day));
        }
    }
    state.counters["days"] = static_cast<double>(days.size());
}
BENCHMARK(BM_SeasonLoads)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

// The season under the four methods in one run: each day loaded once under the first
// method, the pipeline rerun for the three others.
void BM_SeasonFourMethods(benchmark::State& state)
{
    const std::string appDir = Env("VORNAL_BENCH_APP");
    const std::vector<std::string> days = StoredDays(appDir);
    DaySession session(appDir);
    session.SetHitFiles(DaySession::HitFiles::Never);
    for (auto _ : state) {
        for (const std::string& day : days) {
            session.SetBetMethod(FourMethods()[0]);
            if (!session.LoadDay(day).Ok()) {
                continue;
            }
            for (std::size_t m = 1; m < FourMethods().size(); ++m) {
                session.SetBetMethod(FourMethods()[m]);
                benchmark::DoNotOptimize(session.RerunDayPipeline());
            }
        }
    }
    state.counters["days"] = static_cast<double>(days.size());
}
BENCHMARK(BM_SeasonFourMethods)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

int Sizes()
{
    DaySession session(Env("VORNAL_BENCH_APP"));
    session.SetHitFiles(DaySession::HitFiles::Never);
    const std::string day = DayName();
    if (!session.LoadDay(day).Ok()) {
        std::fprintf(stderr, "vornal_bench: the day does not load\n");
        return 1;
    }
    // A second load into a fresh day, held while the heap is counted: what the new day holds
    // (its own block and the strings in it) is the growth of the heap in use.
    const std::size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
    vornal::PreparedDay prepared = session.PrepareDay(day);
    const std::size_t after = mallinfo2().uordblks + mallinfo2().hblkhd;
    const std::size_t held = after > before ? after - before : 0;
    const std::size_t own = sizeof(vornal::RaceDay);
    // Where days have blocks of their own, the block is not on the heap counted here.
    std::printf("sizeof(RaceDay) %zu\nheap of a loaded day beyond it %zu\n", own, held > own ? held - own : held);
    return prepared.day ? 0 : 1;
}

struct WriteFile
{
    fs::path target;
    std::string bytes;
};

int IoBaseline(const std::string& readList, const std::string& writeList, long syncs, const fs::path& out, int runs)
{
    const std::vector<std::string> reads = Lines(readList);
    std::vector<WriteFile> writes;
    for (const std::string& path : Lines(writeList)) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        writes.push_back(WriteFile{out / fs::path(path).relative_path(), std::move(bytes)});
    }
    // The durability the store needs: the contents on the disk before any name points at
    // them (one syncfs), then each folder whose entries changed (one fsync each, in turn
    // until the count is reached).
    std::vector<fs::path> folders;
    for (const WriteFile& file : writes) {
        if (std::find(folders.begin(), folders.end(), file.target.parent_path()) == folders.end()) {
            folders.push_back(file.target.parent_path());
        }
    }
    std::vector<char> buffer(1 << 20);
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        fs::remove_all(out);
        fs::create_directories(out);
        ::sync();
        const auto start = std::chrono::steady_clock::now();
        std::size_t bytes = 0;
        for (const std::string& file : reads) {
            bytes += ReadWhole(file, buffer);
        }
        for (const WriteFile& file : writes) {
            fs::create_directories(file.target.parent_path());
            const int fd = ::open(file.target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0) {
                std::perror(file.target.c_str());
                return 1;
            }
            std::size_t done = 0;
            while (done < file.bytes.size()) {
                const ssize_t n = ::write(fd, file.bytes.data() + done, file.bytes.size() - done);
                if (n <= 0) {
                    break;
                }
                done += static_cast<std::size_t>(n);
            }
            ::close(fd);
        }
        if (syncs > 0) {
            const int fd = ::open(out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::syncfs(fd);
            ::close(fd);
        }
        for (long i = 0; i + 1 < syncs && !folders.empty(); ++i) {
            const int fd = ::open(folders[static_cast<std::size_t>(i) % folders.size()].c_str(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::fsync(fd);
            ::close(fd);
        }
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        benchmark::DoNotOptimize(bytes);
    }
    fs::remove_all(out);
    std::sort(seconds.begin(), seconds.end());
    std::printf("%.6f\n", seconds[seconds.size() / 2]);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--sizes") {
        return Sizes();
    }
    if (argc >= 7 && std::string(argv[1]) == "--io") {
        return IoBaseline(argv[2], argv[3], std::atol(argv[4]), argv[5], std::max(1, std::atoi(argv[6])));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
