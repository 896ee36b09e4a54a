#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "raceday/RecordFile.h"

// The day's horse, jockey and trainer master files, each read once per load and indexed
// by its code, so that no pass scans a master file per runner.
namespace vornal {

class MasterIndex
{
public:
    // Reads Data/<dayName>.jvUM2, .jvKS and .jvCH under `appDir`; a missing file gives an
    // empty index of its kind. Throws RecordReadError for a file that exists but cannot be
    // read, for a horse master file that ends in a cut record, and for a jockey or trainer
    // master that ends in a cut record or holds one not ending in CR LF.
    static MasterIndex Load(const std::filesystem::path& appDir, std::string_view dayName);

    // The horse master record (1609 bytes, CR LF included) of `horseId`: the first record
    // of the file whose bytes 12..21 equal it.
    std::optional<std::string_view> Horse(std::string_view horseId) const;
    // The jockey master record (4173 bytes) of a 5-byte jockey code: the last match.
    std::optional<std::string_view> Jockey(std::string_view jockeyCode) const;
    // The trainer master record (3862 bytes) of a 5-byte trainer code: the last match.
    std::optional<std::string_view> Trainer(std::string_view trainerCode) const;

    // The files themselves, when they exist.
    const RecordFile* HorseFile() const { return m_horses ? &m_horses->file : nullptr; }
    const RecordFile* JockeyFile() const { return m_jockeys ? &m_jockeys->file : nullptr; }
    const RecordFile* TrainerFile() const { return m_trainers ? &m_trainers->file : nullptr; }

private:
    struct Indexed
    {
        RecordFile file;
        std::unordered_map<std::string, int> byCode;
    };
    // Indexes the complete records of `file` by the field at `position`/`length`;
    // `keepFirst` keeps the first record of a code, otherwise the last one wins.
    static std::optional<Indexed> Index(std::optional<RecordFile> file, int position, int length, bool keepFirst);
    static std::optional<std::string_view> Find(const std::optional<Indexed>& index, std::string_view code);

    std::optional<Indexed> m_horses;
    std::optional<Indexed> m_jockeys;
    std::optional<Indexed> m_trainers;
};

} // namespace vornal
