#pragma once

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "raceday/RecordFile.h"
#include "store/JvLayout.h"

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

    // The record of race number `raceNo` (the first when several) in a past-race file that
    // GetByKey found, or -1. The file's race numbers are indexed the first time it is asked,
    // so each runner's past race is found without walking the file's records.
    int FindRace(const RecordFile& file, std::string_view raceNo)
    {
        std::vector<std::pair<std::string_view, int>>& races = m_races[&file];
        if (races.empty()) {
            for (int i = 0; i < file.Count(); ++i) {
                const std::string_view number = jv::View(file.Record(i), jv::kRaceNo);
                if (std::find_if(races.begin(), races.end(), [&](const auto& race) { return race.first == number; }) ==
                    races.end()) {
                    races.emplace_back(number, i);
                }
            }
        }
        for (const auto& [number, index] : races) {
            if (number == raceNo) {
                return index;
            }
        }
        return -1;
    }

private:
    std::filesystem::path m_appDir;
    // Keyed by the path's text: the paths are built one way, so equal files have equal texts.
    std::unordered_map<std::string, std::optional<RecordFile>> m_files;
    std::unordered_map<std::string, const RecordFile*> m_byKey;
    // Per past-race file: each race number it holds and its first record, in file order.
    std::unordered_map<const RecordFile*, std::vector<std::pair<std::string_view, int>>> m_races;
};

} // namespace vornal
