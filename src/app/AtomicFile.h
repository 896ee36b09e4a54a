#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Status.h"

// Whole-file reads and writes. Every file the system writes goes through WriteFileAtomic,
// so a crash or a full disk leaves either the old file or the new one, never a torn one.
namespace vornal {


// Replaces `file` with `bytes`: the bytes go to a new temporary file in the same folder,
// are flushed to the disk, and the temporary file is renamed over `file`. On any failure
// the temporary file is removed, the old `file` (if any) is left untouched, and the result
// names the file and the cause. A new file gets the usual permissions; a replaced file
// keeps its permission bits.
Status WriteFileAtomic(const std::filesystem::path& file, std::string_view bytes);

// Replaces many files in one go with the guarantee of WriteFileAtomic, for a writer that
// changes hundreds of files at once (an acquisition run). Add writes each temporary file
// beside its target; Commit makes them all durable with one file-system sync, renames each
// over its target and syncs each folder once. A file whose Add failed is left as it was;
// temporary files not committed are removed when the set is destroyed.
class AtomicFileSet
{
public:
    AtomicFileSet() = default;
    AtomicFileSet(const AtomicFileSet&) = delete;
    AtomicFileSet& operator=(const AtomicFileSet&) = delete;
    ~AtomicFileSet();

    Status Add(const std::filesystem::path& file, std::string_view bytes);
    // Replaces every added file; the first failure is returned, the other files still go.
    Status Commit();
    std::size_t Pending() const { return m_pending.size(); }

private:
    struct PendingFile
    {
        std::filesystem::path target;
        std::filesystem::path temporary;
    };
    std::vector<PendingFile> m_pending;
};

// Removes the temporary files that writers of processes no longer running left in `folder`
// and, with `recursive`, its sub-folders (a run killed between writing and renaming). The
// temporary files of a running writer are kept. Returns how many were removed.
std::size_t RemoveStaleTemporaries(const std::filesystem::path& folder, bool recursive);

// Every byte of `file`, or nothing when it does not exist or cannot be read (a folder, no
// permission, a read error).
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);

// How ReadFileBytesUpTo ended. `size` is the file's size when it was known (always for
// TooLarge).
struct BoundedRead
{
    enum class Outcome { Read, Missing, TooLarge, Unreadable };
    Outcome outcome = Outcome::Missing;
    std::uintmax_t size = 0;
};

// The bytes of a file read whole. Unlike a string's, its memory is not filled with zeros
// before the read writes over it.
struct FileBytes
{
    std::unique_ptr<char[]> data;
    std::size_t size = 0;

    std::string_view View() const { return {data.get(), size}; }
};

// Every byte of `file` into `bytes` with one open and one status call, read straight into
// place. A regular file larger than `limit` is refused before any byte is read. Missing:
// the file (or a folder on its way) does not exist or cannot be looked at; Unreadable: it
// is there but cannot be opened or read. `bytes` is empty unless the outcome is Read.
BoundedRead ReadFileBytesUpTo(const std::filesystem::path& file, std::uintmax_t limit, FileBytes& bytes);

// A path as CP932 text for messages and logs (paths on this system are UTF-8).
std::string PathText(const std::filesystem::path& path);

} // namespace vornal
