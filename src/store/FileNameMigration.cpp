#include "store/FileNameMigration.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "app/AppDir.h"
#include "app/AtomicFile.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/FileNames.h"

namespace vornal {
namespace {

constexpr std::size_t kDayNameLength = 14;
constexpr std::string_view kHitFileExt = ".ksr";

// Renames `from` to `to` only when `to` does not exist: renameat2's no-replace flag, or a
// hard link and unlink where the file system lacks the flag. Returns 0 or the errno.
int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    ::unlink(from.c_str());
    return 0;
}

void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The CP932-byte store names: not UTF-8, whole CP932 text, and of a store file's shape.
bool IsOldStoreName(const std::string& native, bool dataFolder)
{
    if (IsValidUtf8(native) || !IsValidCp932(native)) {
        return false;
    }
    if (dataFolder) {
        return native.size() > kDayNameLength && IsDayName(native.substr(0, kDayNameLength));
    }
    // "<YYYY>年<bet type><suffix>.ksr"
    return native.ends_with(kHitFileExt) && native.size() > 6 + kHitFileExt.size() &&
           IsValidDateDigits(native.substr(0, 4) + "0101") && native.substr(4, 2) == Sjis("年");
}

// A name for the messages, which are CP932 text: an old name is CP932 already.
std::string Shown(const std::filesystem::path& file)
{
    const std::string native = file.filename().native();
    return PathText(file.parent_path()) + "/" + (IsValidUtf8(native) ? ToCp932(native) : native);
}

std::filesystem::file_time_type ModifiedTime(const std::filesystem::path& file)
{
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(file, ec);
    return ec ? std::filesystem::file_time_type::min() : time;
}

class FolderMigration
{
public:
    explicit FolderMigration(FileNameMigration& out) : m_out(out) {}

    void Run(const std::filesystem::path& folder, bool dataFolder)
    {
        std::vector<std::filesystem::path> oldNames;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->is_regular_file(ec) && IsOldStoreName(it->path().filename().native(), dataFolder)) {
                oldNames.push_back(it->path());
            }
        }
        bool changed = false;
        for (const std::filesystem::path& old : oldNames) {
            changed |= Migrate(old);
        }
        if (changed) {
            SyncFolder(folder);
        }
    }

private:
    bool Migrate(const std::filesystem::path& old)
    {
        const std::filesystem::path target = NamedPath(old.parent_path(), old.filename().native());
        std::error_code ec;
        if (std::filesystem::exists(target, ec)) {
            return Collide(old, target);
        }
        return Rename(old, target);
    }

    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to)
    {
        if (const int error = RenameNoReplace(from, to)) {
            m_out.messages.push_back("cannot rename " + Shown(from) + " to " + Shown(to) + ": " +
                                     ToCp932(std::strerror(error)));
            return false;
        }
        m_out.messages.push_back("renamed " + Shown(from) + " (CP932 bytes) to its UTF-8 name " + Shown(to));
        ++m_out.renamed;
        return true;
    }

    // Both spellings exist (a store copied over one that an earlier version kept writing).
    bool Collide(const std::filesystem::path& old, const std::filesystem::path& target)
    {
        if (ModifiedTime(old) <= ModifiedTime(target)) {
            m_out.messages.push_back("both " + Shown(old) + " (CP932 bytes) and " + Shown(target) +
                                     " exist: keeping the newer " + Shown(target) + ", the other is left untouched");
            return false;
        }
        std::filesystem::path aside = target;
        aside += ".older";
        // A name the system refuses ends the search; the rename below then says why.
        std::error_code ec;
        for (int n = 2; std::filesystem::exists(aside, ec); ++n) {
            aside = target;
            aside += ".older" + std::to_string(n);
        }
        if (const int error = RenameNoReplace(target, aside)) {
            m_out.messages.push_back("cannot move " + Shown(target) + " aside: " + ToCp932(std::strerror(error)) +
                                     "; " + Shown(old) + " (CP932 bytes, newer) is left as it is");
            return false;
        }
        m_out.messages.push_back("both " + Shown(old) + " (CP932 bytes, newer) and " + Shown(target) +
                                 " exist: the older one moved to " + Shown(aside));
        ++m_out.renamed;
        Rename(old, target);
        return true;
    }

    FileNameMigration& m_out;
};

} // namespace

FileNameMigration MigrateStoreFileNames(const std::filesystem::path& appDir)
{
    FileNameMigration result;
    FolderMigration migration(result);
    migration.Run(DataDir(appDir), true);
    migration.Run(appDir, false);
    return result;
}

} // namespace vornal
