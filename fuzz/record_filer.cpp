// The record filer: every record the data service hands out passes it before it names a file.
// Records are split at LF as a feed file holds them; the writer keeps nothing, but checks
// that every path the filer asks for lies inside the application folder.
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/AppDir.h"
#include "store/RecordFiling.h"
#include "store/StorePaths.h"

namespace {

class CheckingWriter : public vornal::DayStoreWriter
{
public:
    explicit CheckingWriter(std::filesystem::path appDir) : m_appDir(std::move(appDir)) {}
    vornal::Status UpsertRaceLine(const std::filesystem::path& path, std::string_view, bool) override
    {
        Check(path);
        return vornal::Status::Success();
    }
    vornal::Status PutRunnerLine(const std::filesystem::path& path, std::string_view) override
    {
        Check(path);
        return vornal::Status::Success();
    }

private:
    void Check(const std::filesystem::path& path) const
    {
        if (!vornal::IsInsideFolder(path, m_appDir)) {
            vornal::fuzz::Broken("a record named a file outside the application folder");
        }
    }
    std::filesystem::path m_appDir;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path& app = vornal::fuzz::ScratchDir();
    CheckingWriter writer(app);
    std::set<std::string> dates;
    vornal::MasterLists masters;
    vornal::AcquisitionFiler filer(app, writer, 20260105, dates, masters);
    std::vector<std::string> reported;
    std::vector<std::string> skipped;
    std::string_view input = vornal::fuzz::Input(data, size);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::string_view record = input.substr(0, end == std::string_view::npos ? input.size() : end + 1);
        input.remove_prefix(record.size());
        (void)filer.File(record, reported);
        (void)vornal::FileResultRecord(app, writer, record, skipped);
        (void)vornal::RecordShapeDefect(record);
    }
    (void)vornal::SkipSummary(filer.Skips());
    return 0;
}
