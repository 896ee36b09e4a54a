#include "store/DayStoreBatch.h"

#include <algorithm>

#include <system_error>

#include "app/AtomicFile.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

std::size_t ByteCount(const std::vector<std::string>& lines)
{
    std::size_t bytes = 0;
    for (const std::string& line : lines) {
        bytes += line.size() + 2;
    }
    return bytes;
}

bool IsInside(const std::filesystem::path& folder, const std::filesystem::path& path)
{
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (p == path.end() || *p != *f) {
            return false;
        }
    }
    return true;
}

} // namespace

Status CreateStoreFolderOf(const std::filesystem::path& appDir, const std::filesystem::path& file)
{
    std::error_code ec;
    const std::filesystem::path root = std::filesystem::weakly_canonical(appDir, ec);
    const std::filesystem::path relative = file.parent_path().lexically_relative(appDir);
    std::filesystem::path folder = appDir;
    for (const std::filesystem::path& part : relative) {
        folder /= part;
        const std::filesystem::file_status status = std::filesystem::symlink_status(folder, ec);
        if (!std::filesystem::is_symlink(status)) {
            continue;
        }
        // A link that stays inside the folder (a moved day kept under another name) is
        // harmless; one leading out would have the store write over files elsewhere.
        const std::filesystem::path target = std::filesystem::weakly_canonical(folder, ec);
        if (ec || root.empty() || !IsInside(root, target)) {
            return Status::Failure(PathText(folder) +
                                   Sjis(" はアプリケーションフォルダの外を指すシンボリックリンクのため、書き込みません。"));
        }
    }
    std::error_code created;
    std::filesystem::create_directories(file.parent_path(), created);
    std::error_code exists;
    if (created && !std::filesystem::is_directory(file.parent_path(), exists)) {
        return Status::Failure(PathText(file.parent_path()) + Sjis(" のフォルダを作成できません: ") + created.message());
    }
    return Status::Success();
}

DayStoreBatch::DayStoreBatch(std::filesystem::path appDir, std::size_t memoryBudget)
    : m_appDir(std::move(appDir)), m_memoryBudget(memoryBudget)
{
    // A run killed between writing its files and renaming them leaves its temporary files
    // beside the store files (the store files themselves are whole): clear them away.
    for (const char* folder : {"Data", "SEI", "SEIR"}) {
        RemoveStaleTemporaries(m_appDir / folder, true);
    }
}

DayStoreBatch::~DayStoreBatch()
{
    try {
        // Nobody is left to tell: the callers that care flush before the batch ends.
        static_cast<void>(Flush());
    } catch (...) {
        // A destructor must not throw; what could be written has been.
    }
}

Status DayStoreBatch::UpsertRaceLine(const std::filesystem::path& path, std::string_view record, bool dropBlankFirst)
{
    Status result;
    OpenFile* file = Open(path, false, result);
    if (file == nullptr) {
        return result;
    }
    if (vornal::UpsertRaceLine(file->lines, record, dropBlankFirst)) {
        file->changed = true;
    }
    return AfterChange(*file);
}

Status DayStoreBatch::PutRunnerLine(const std::filesystem::path& path, std::string_view record)
{
    // A runner outside the 12-race grid has no slot; its file is not even created.
    if (!RunnerSlot(record)) {
        return Status::Success();
    }
    Status result;
    OpenFile* file = Open(path, true, result);
    if (file == nullptr) {
        return result;
    }
    if (vornal::PutRunnerLine(file->lines, record)) {
        file->changed = true;
    }
    return AfterChange(*file);
}

DayStoreBatch::OpenFile* DayStoreBatch::Open(const std::filesystem::path& path, bool runnerFile, Status& result)
{
    if (auto held = m_files.find(path); held != m_files.end()) {
        held->second.touched = ++m_touches;
        return &held->second;
    }
    if (!IsInsideFolder(path, m_appDir)) {
        result = Status::Failure("refused to write outside the application folder: " + PathText(path));
        return nullptr;
    }
    OpenFile file;
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (ec) {
        result = Status::Failure("cannot read " + PathText(path) + ": " + ec.message());
        return nullptr;
    }
    if (exists) {
        std::optional<std::string> bytes = ReadFileBytes(path);
        if (!bytes) {
            result = Status::Failure("cannot read " + PathText(path));
            return nullptr;
        }
        file.lines = SplitLines(*bytes);
        // A file with other line ends is rewritten by the first record that reaches it, even
        // when its lines stay the same.
        file.changed = JoinLines(file.lines) != *bytes;
    } else if (runnerFile) {
        file.lines = BlankRunnerLines();
        file.changed = true;
    }
    file.bytes = ByteCount(file.lines);
    file.touched = ++m_touches;
    m_heldBytes += file.bytes;
    return &m_files.emplace(path, std::move(file)).first->second;
}

Status DayStoreBatch::AfterChange(OpenFile& file)
{
    const std::size_t bytes = ByteCount(file.lines);
    m_heldBytes = m_heldBytes - file.bytes + bytes;
    file.bytes = bytes;
    if (m_heldBytes > m_memoryBudget) {
        return FlushColdest();
    }
    return Status::Success();
}

Status DayStoreBatch::Write(const std::vector<const std::filesystem::path*>& paths)
{
    // One sync for the whole set instead of two per file: a run writes thousands.
    Status first;
    AtomicFileSet files;
    for (const std::filesystem::path* path : paths) {
        const OpenFile& file = m_files.at(*path);
        if (!file.changed) {
            continue;
        }
        Status result = CreateStoreFolderOf(m_appDir, *path);
        if (result) {
            result = files.Add(*path, JoinLines(file.lines));
        }
        if (result) {
            ++m_written;
        } else if (first) {
            first = result;
        }
    }
    if (Status committed = files.Commit(); !committed && first) {
        first = committed;
    }
    return first;
}

Status DayStoreBatch::FlushColdest()
{
    // A feed runs in date order: the files of the days behind it (and of horses that have not
    // run for a while) are done with, the current day's and the active horses' are not.
    std::vector<std::pair<std::uint64_t, const std::filesystem::path*>> byAge;
    byAge.reserve(m_files.size());
    for (const auto& [path, file] : m_files) {
        byAge.emplace_back(file.touched, &path);
    }
    std::sort(byAge.begin(), byAge.end());
    std::vector<const std::filesystem::path*> cold;
    std::size_t held = m_heldBytes;
    for (const auto& [touched, path] : byAge) {
        if (held <= m_memoryBudget / 2) {
            break;
        }
        held -= m_files.at(*path).bytes;
        cold.push_back(path);
    }
    Status written = Write(cold);
    for (const std::filesystem::path* path : cold) {
        m_files.erase(*path);
    }
    m_heldBytes = held;
    return written;
}

Status DayStoreBatch::Flush()
{
    std::vector<const std::filesystem::path*> all;
    all.reserve(m_files.size());
    for (const auto& [path, file] : m_files) {
        all.push_back(&path);
    }
    Status written = Write(all);
    m_files.clear();
    m_heldBytes = 0;
    return written;
}

std::size_t DayStoreBatch::PendingFiles() const
{
    std::size_t pending = 0;
    for (const auto& [path, file] : m_files) {
        pending += file.changed ? 1 : 0;
    }
    return pending;
}

} // namespace vornal
