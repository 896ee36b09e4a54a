#pragma once

#include <filesystem>
#include <string_view>

#include "app/AtomicFile.h"

// Where acquisition and results retrieval put the records they accept: the two store
// operations on one file. DayStoreBatch is the writer of the system; a test keeps a plain
// file-by-file writer beside it to prove both leave the same bytes.
namespace vornal {

class DayStoreWriter
{
public:
    virtual ~DayStoreWriter() = default;

    // Stores one race-keyed record (RA, HR and history lines) in the file at `path`; see
    // UpsertRaceLine in StoreLines.h. A missing file starts empty.
    virtual Status UpsertRaceLine(const std::filesystem::path& path, std::string_view record,
                                    bool dropBlankFirst) = 0;

    // Stores one SE record in its slot of the runner file at `path`; see PutRunnerLine in
    // StoreLines.h. A missing file starts as 216 empty slots.
    virtual Status PutRunnerLine(const std::filesystem::path& path, std::string_view record) = 0;
};

} // namespace vornal
