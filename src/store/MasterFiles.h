#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/AtomicFile.h"
#include "store/RecordFiling.h"

namespace vornal {

struct MasterFilesResult
{
    // "作成済み:" + date text + extension for every file written, in writing order.
    std::vector<std::string> reported;
    Status io;
};

// Writes the master lines of a completed acquisition run into the jockey (.jvKS), trainer
// (.jvCH) and horse (.jvUM2) master files of every date of the run, in that order of kinds
// and in ascending date order. A kind without lines is skipped. Every file gets the whole
// sorted list of its kind. A date whose month-day (the year is ignored) lies before
// `todayMonthDay` (month x 100 + day) keeps a master file it already has; for today and
// later month-days the file is replaced. The masters describe the jockeys, trainers and
// horses as of now, so a finished day keeps the masters of its own time. A failed write
// stops the writing; the files written before it stay.
MasterFilesResult WriteMasterFiles(const std::filesystem::path& appDir, const MasterLists& lists,
                                   const std::set<std::string>& dates, int todayMonthDay);

} // namespace vornal
