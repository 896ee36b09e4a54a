#include "raceday/LoadWarning.h"

#include "text/Encoding.h"

namespace vornal {

std::string StoreFileText(const std::filesystem::path& appDir, const std::filesystem::path& file)
{
    const std::filesystem::path relative = file.lexically_relative(appDir);
    const bool inside = !relative.empty() && *relative.begin() != "..";
    return ToCp932((inside ? relative : file).generic_string());
}

LoadWarning MakeLoadWarning(const std::filesystem::path& appDir, const std::filesystem::path& file, int record,
                            std::string field, std::string_view detail)
{
    LoadWarning warning;
    warning.file = StoreFileText(appDir, file);
    warning.record = record;
    warning.field = std::move(field);
    warning.text = warning.file + Sjis("：");
    if (record >= 0) {
        warning.text += Sjis("レコード ") + std::to_string(record) + Sjis("：");
    }
    warning.text += detail;
    return warning;
}

} // namespace vornal
