#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Stores written before names went to the disk in UTF-8 hold files named by their CP932
// bytes ("2026\x94N01\x8c\x8e03\x93\xfa.jvRA"). At start-up each face renames them once to
// their UTF-8 names, so the store reads the same whichever way it was made or copied.
namespace vornal {

struct FileNameMigration
{
    // One CP932 line per rename and per name left alone, for "ErrorLog.txt" and the face.
    std::vector<std::string> messages;
    int renamed = 0;
};

// Renames every CP932-byte store name of `appDir` to its UTF-8 name: the day-store files in
// "Data" (names that begin with a date text) and the hit-judgement files (".ksr") in the
// application folder. Each rename is atomic and never replaces a file; each folder is synced
// once after its renames. When both names exist, the newer file ends up under the UTF-8 name
// and the older one is kept untouched (an older UTF-8 file moves aside to "<name>.older");
// nothing is ever deleted. Names that are not CP932 text, and every other file, stay as they
// are. A folder that cannot be read is skipped.
FileNameMigration MigrateStoreFileNames(const std::filesystem::path& appDir);

} // namespace vornal
