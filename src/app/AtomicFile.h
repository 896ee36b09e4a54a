#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Whole-file reads and writes. Every file the system writes goes through WriteFileAtomic,
// so a crash or a full disk leaves either the old file or the new one, never a torn one.
namespace vornal {

// The outcome of a file operation. `message` (CP932 text naming the file and the cause) is
// empty when `ok` is true.
struct IoResult
{
    bool ok = true;
    std::string message;

    explicit operator bool() const { return ok; }

    static IoResult Success() { return {}; }
    static IoResult Failure(std::string message) { return {false, std::move(message)}; }
};

// Replaces `file` with `bytes`: the bytes go to a new temporary file in the same folder,
// are flushed to the disk, and the temporary file is renamed over `file`. On any failure
// the temporary file is removed, the old `file` (if any) is left untouched, and the result
// names the file and the cause. A new file gets the usual permissions; a replaced file
// keeps its permission bits.
IoResult WriteFileAtomic(const std::filesystem::path& file, std::string_view bytes);

// Every byte of `file`, or nothing when it does not exist or cannot be read (a folder, no
// permission, a read error).
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);

// A path as CP932 text for messages and logs (paths on this system are UTF-8).
std::string PathText(const std::filesystem::path& path);

} // namespace vornal
