#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The one crossing between the system's CP932 names and the names on disk. Inside, a file
// name is CP932 bytes like every other text (a `DayName`, a racecourse name, a set name);
// on disk it is in the file system's own encoding, UTF-8 on this platform, as the system
// the store comes from turns its code-page names into Unicode names.
namespace vornal {

// The name on disk of the CP932 name `cp932Name` (one path element, no separators).
// A byte sequence that is not CP932 cannot name a file; callers check their names first.
std::filesystem::path NativeName(std::string_view cp932Name);

// The CP932 name of the last element of `path` as the file system spells it, or nothing when
// that name is not UTF-8 or holds a character CP932 cannot write.
std::optional<std::string> Cp932Name(const std::filesystem::path& path);

// True when `bytes` is CP932 text whose every character converts (no broken pairs, no
// unassigned codes).
bool IsValidCp932(std::string_view bytes);

// A file name for messages: UTF-8 names as they are, other bytes as \xNN escapes, so that a
// name nobody can decode still reaches the user readably.
std::string EscapedName(std::string_view nativeName);

} // namespace vornal
