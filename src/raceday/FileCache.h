#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

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
    // when it exists but cannot be read, ends in a cut record, or holds a record that does not
    // end in CR LF.
    const RecordFile* Get(const std::filesystem::path& file, int recordLength)
    {
        auto found = m_files.find(file.native());
        if (found == m_files.end()) {
            std::optional<RecordFile> opened = RecordFile::Open(file, recordLength);
            if (opened) {
                // A byte inserted or lost shows first as a record not ending in CR LF:
                // that record is named before the cut end it also leaves.
                opened->RequireLineEnds();
                opened->RequireWhole();
            }
            found = m_files.emplace(file.native(), std::move(opened)).first;
        }
        return found->second ? &*found->second : nullptr;
    }

    // As Get, for a file known by a short key (the date and racecourse of a past race):
    // `makePath` builds its path only the first time the key is asked for.
    template <class MakePath>
    const RecordFile* GetByKey(std::string_view key, int recordLength, MakePath makePath)
    {
        auto found = m_byKey.find(std::string(key));
        if (found == m_byKey.end()) {
            found = m_byKey.emplace(std::string(key), Get(makePath(), recordLength)).first;
        }
        return found->second;
    }

private:
    std::filesystem::path m_appDir;
    // Keyed by the path's text: the paths are built one way, so equal files have equal texts.
    std::unordered_map<std::string, std::optional<RecordFile>> m_files;
    std::unordered_map<std::string, const RecordFile*> m_byKey;
};

} // namespace vornal
