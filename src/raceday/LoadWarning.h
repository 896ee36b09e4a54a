#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// What a day load found wrong with the store without stopping: a race with runner records
// missing, a horse master that is not there, a numeric field holding stray bytes, odds kept
// in memory only. The day loads; the faces show each warning beside it.
namespace vornal {

struct LoadWarning
{
    // The store file, relative to the application folder ("Data/2026年01月05日中山.jvSEr"),
    // CP932; the same on every machine.
    std::string file;
    // The 0-based record index in the file; -1 when the warning is about the whole file.
    int record = -1;
    // The name of the field (CP932, "距離"), empty when the warning is about a whole record.
    std::string field;
    // The whole message for the user (CP932), naming the file, the record and the field.
    std::string text;
};

using LoadWarnings = std::vector<LoadWarning>;

// `file` relative to `appDir` as CP932 text with "/" between folders; the whole path when
// it lies elsewhere.
std::string StoreFileText(const std::filesystem::path& appDir, const std::filesystem::path& file);

// A warning about record `record` of `file` (or the whole file when `record` is -1):
// "<file>：レコード <record>：<detail>" or "<file>：<detail>".
LoadWarning MakeLoadWarning(const std::filesystem::path& appDir, const std::filesystem::path& file, int record,
                            std::string field, std::string_view detail);

} // namespace vornal
