#include "raceday/MasterIndex.h"

#include "store/JvLayout.h"
#include "store/StorePaths.h"
#include "text/Fields.h"

namespace vornal {

MasterIndex MasterIndex::Load(const std::filesystem::path& appDir, std::string_view dayName)
{
    MasterIndex index;
    index.m_horses = Index(RecordFile::Open(HorseMasterFile(appDir, dayName), jv::kLengthUM), jv::um::kHorseId.position,
                           jv::um::kHorseId.length, true);
    if (index.m_horses) {
        index.m_horses->file.RequireWhole();
        index.m_horses->file.RequireLineEnds();
    }
    index.m_jockeys = Index(RecordFile::Open(JockeyMasterFile(appDir, dayName), jv::kLengthKS),
                            jv::ks::kJockeyCode.position, jv::ks::kJockeyCode.length, false);
    index.m_trainers = Index(RecordFile::Open(TrainerMasterFile(appDir, dayName), jv::kLengthCH),
                             jv::ch::kTrainerCode.position, jv::ch::kTrainerCode.length, false);
    // A misplaced line end would index pieces of two records under a made-up code: the
    // load stops with the file and record named, before any runner is looked up.
    for (const std::optional<Indexed>* master : {&index.m_jockeys, &index.m_trainers}) {
        if (*master) {
            (*master)->file.RequireLineEnds();
            (*master)->file.RequireWhole();
        }
    }
    return index;
}

std::optional<MasterIndex::Indexed> MasterIndex::Index(std::optional<RecordFile> file, int position, int length,
                                                       bool keepFirst)
{
    if (!file) {
        return std::nullopt;
    }
    Indexed indexed{std::move(*file), {}};
    for (int i = 0; i < indexed.file.Count(); ++i) {
        std::string code = Field(indexed.file.Record(i), position, length);
        if (keepFirst) {
            indexed.byCode.try_emplace(std::move(code), i);
        } else {
            indexed.byCode.insert_or_assign(std::move(code), i);
        }
    }
    return indexed;
}

std::optional<std::string_view> MasterIndex::Find(const std::optional<Indexed>& index, std::string_view code)
{
    if (!index) {
        return std::nullopt;
    }
    auto found = index->byCode.find(std::string(code));
    if (found == index->byCode.end()) {
        return std::nullopt;
    }
    return index->file.Record(found->second);
}

std::optional<std::string_view> MasterIndex::Horse(std::string_view horseId) const
{
    return Find(m_horses, horseId);
}

std::optional<std::string_view> MasterIndex::Jockey(std::string_view jockeyCode) const
{
    return Find(m_jockeys, jockeyCode);
}

std::optional<std::string_view> MasterIndex::Trainer(std::string_view trainerCode) const
{
    return Find(m_trainers, trainerCode);
}

} // namespace vornal
