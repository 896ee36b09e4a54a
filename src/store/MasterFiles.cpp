#include "store/MasterFiles.h"

#include <algorithm>
#include <system_error>

#include "store/DayStoreBatch.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal {
namespace {

struct MasterKind
{
    const std::vector<std::string>* lines;
    std::string_view ext;
};

int MonthDayOf(std::string_view dayName)
{
    return static_cast<int>(FieldNumber(dayName, 7, 2) * 100 + FieldNumber(dayName, 11, 2));
}

} // namespace

MasterFilesResult WriteMasterFiles(const std::filesystem::path& appDir, const MasterLists& lists,
                                   const std::set<std::string>& dates, int todayMonthDay)
{
    MasterFilesResult result;
    const MasterKind kinds[] = {
        {&lists.jockeys, kJockeyMasterExt},
        {&lists.trainers, kTrainerMasterExt},
        {&lists.horses, kHorseMasterExt},
    };
    for (const MasterKind& kind : kinds) {
        if (kind.lines->empty()) {
            continue;
        }
        std::vector<std::string> sorted = *kind.lines;
        std::sort(sorted.begin(), sorted.end());
        const std::string bytes = JoinLines(sorted);
        for (const std::string& day : dates) {
            if (!IsDayName(day)) {
                continue;
            }
            const std::filesystem::path path = DayFile(appDir, day, kind.ext);
            std::error_code ec;
            if (MonthDayOf(day) < todayMonthDay && std::filesystem::exists(path, ec)) {
                continue;
            }
            Status io = CreateStoreFolderOf(appDir, path);
            if (io) {
                io = WriteFileAtomic(path, bytes);
            }
            if (!io) {
                result.io = io;
                return result;
            }
            result.reported.push_back(Sjis("作成済み:") + DayFileName(day, kind.ext));
        }
    }
    return result;
}

} // namespace vornal
