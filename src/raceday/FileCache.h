#pragma once

#include <filesystem>
#include <map>
#include <optional>

#include "raceday/RecordFile.h"

namespace vornal {

// The store files read during one load, each opened once however many runners use it
// (the past-race files of a racecourse and day serve every runner that ran there).
class FileCache
{
public:
    explicit FileCache(std::filesystem::path appDir) : m_appDir(std::move(appDir)) {}

    const std::filesystem::path& AppDir() const { return m_appDir; }

    // The file's records, or nullptr when the file does not exist. Throws RecordReadError
    // when it exists but cannot be read, or when a record of it does not end in CR LF.
    const RecordFile* Get(const std::filesystem::path& file, int recordLength)
    {
        auto found = m_files.find(file);
        if (found == m_files.end()) {
            std::optional<RecordFile> opened = RecordFile::Open(file, recordLength);
            if (opened) {
                opened->RequireLineEnds();
            }
            found = m_files.emplace(file, std::move(opened)).first;
        }
        return found->second ? &*found->second : nullptr;
    }

private:
    std::filesystem::path m_appDir;
    std::map<std::filesystem::path, std::optional<RecordFile>> m_files;
};

} // namespace vornal
