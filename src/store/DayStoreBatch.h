#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "store/DayStoreWriter.h"

// The store writer of one acquisition or retrieval run. Each file the run touches is read
// once, changed in memory record by record exactly as if every record rewrote the file, and
// written once by Flush, atomically (temporary file, then rename), so a crash leaves every
// file with its old or its new content and never a torn one.
//
// Only files inside the application folder are touched. When the lines held in memory
// grow past the budget, the files touched longest ago are written and dropped until half
// the budget is held, and later records read them again; the bytes on disk are the same
// either way, and the memory of a run does not grow with its feed.
namespace vornal {

// Creates the folder of `file`, a store file under `appDir`, when missing. Refuses, with the
// folder named, when a folder on the way from `appDir` is a symbolic link leading out of
// `appDir`: the store is never written outside the application folder.
Status CreateStoreFolderOf(const std::filesystem::path& appDir, const std::filesystem::path& file);

class DayStoreBatch : public DayStoreWriter
{
public:
    static constexpr std::size_t kDefaultMemoryBudget = std::size_t{32} << 20;

    explicit DayStoreBatch(std::filesystem::path appDir, std::size_t memoryBudget = kDefaultMemoryBudget);
    // Unflushed changes are written here too, so an early return cannot lose them; call
    // Flush to learn about failures.
    ~DayStoreBatch() override;

    DayStoreBatch(const DayStoreBatch&) = delete;
    DayStoreBatch& operator=(const DayStoreBatch&) = delete;

    Status UpsertRaceLine(const std::filesystem::path& path, std::string_view record, bool dropBlankFirst) override;
    Status PutRunnerLine(const std::filesystem::path& path, std::string_view record) override;

    // Writes every changed file (creating its folder when missing) and forgets all files.
    // A file that cannot be written does not stop the others; the result names the first
    // failure.
    Status Flush();

    // Files held with changes not yet written.
    std::size_t PendingFiles() const;
    // Files written by this batch so far.
    std::size_t WrittenFiles() const { return m_written; }

private:
    struct OpenFile
    {
        std::vector<std::string> lines;
        std::size_t bytes = 0;
        bool changed = false;
        std::uint64_t touched = 0; // when a record last reached it, in the batch's count
    };

    // The file held for `path`, loaded on first use; nothing when it cannot be read.
    OpenFile* Open(const std::filesystem::path& path, bool runnerFile, Status& result);
    Status AfterChange(OpenFile& file);
    // Writes and drops the files touched longest ago until half the budget is held.
    Status FlushColdest();
    // Writes the changed files among `paths` in one set (one sync for all of them).
    Status Write(const std::vector<const std::filesystem::path*>& paths);

    std::filesystem::path m_appDir;
    std::size_t m_memoryBudget;
    std::size_t m_heldBytes = 0;
    std::size_t m_written = 0;
    std::uint64_t m_touches = 0;
    std::map<std::filesystem::path, OpenFile> m_files;
};

} // namespace vornal
